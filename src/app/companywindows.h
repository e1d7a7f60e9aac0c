#pragma once
// The 账套 menu's windows: 新建账套 (ztxj), 打开账套 (ztdk), 账套管理 (ztgl), and the list the
// start offers when the last used 账套 cannot be opened.

#include "store/companies.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace app {

class CompanyDesk;

// The 账套 of the list, the last used first, with a search by name or initials above them.
class CompanyList : public QWidget {
    Q_OBJECT
public:
    explicit CompanyList(QWidget *parent = nullptr);

    // Reads the list again; the current 账套's folder is marked.
    void reload(const QString &currentFolder = QString());
    // The 账套 the search leaves on show (name begins with, contains, or initials match).
    void search(const QString &typed);
    std::optional<store::Company> chosen() const;
    void choose(const QString &name);
    QLineEdit *searchBox() const { return m_search; }
    QTableWidget *grid() const { return m_grid; }

signals:
    void activated(); // a double click or Enter on a row

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_search;
    QTableWidget *m_grid;
    QList<store::Company> m_companies;
};

// 打开账套: opens the chosen 账套 in this window (its windows closed first) or in a new one.
class CompanyOpenWindow : public QWidget {
    Q_OBJECT
public:
    CompanyOpenWindow(CompanyDesk &desk, QWidget *parent = nullptr);

    // Starts another program window on a 账套; tests replace it. False when it cannot be started.
    using Launcher = std::function<bool(const store::Company &)>;
    void setLauncher(Launcher launcher) { m_launch = std::move(launcher); }
    static bool launchProgramWindow(const store::Company &company);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void openHere();
    void openInNewWindow();

    CompanyDesk &m_desk;
    CompanyList *m_list;
    Launcher m_launch = launchProgramWindow;
};

// 新建账套: a name, the own company, where its data goes, and optionally the customers and
// purposes of another 账套 copied in.
class CompanyNewWindow : public QWidget {
    Q_OBJECT
public:
    CompanyNewWindow(CompanyDesk &desk, QWidget *parent = nullptr);

    // The folder proposed for a new 账套 of that name: <user data folder>/账套/<name>.
    static QString proposedFolder(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void create();
    void browse();

    CompanyDesk &m_desk;
    QLineEdit *m_name, *m_company, *m_bank, *m_account, *m_province, *m_city, *m_folder;
    QComboBox *m_copyFrom;
    bool m_folderTyped = false;
};

// 账套管理: rename, remove from the list (the data stays), add an existing data folder, show the
// folder, and move the current 账套 onto the machine's calibration.
class CompanyManageWindow : public QWidget {
    Q_OBJECT
public:
    CompanyManageWindow(CompanyDesk &desk, QWidget *parent = nullptr);

    // What 添加已有 asks for: a data folder; tests replace it.
    using FolderChooser = std::function<QString(QWidget *parent)>;
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    // What 重命名 asks for: the new name, empty when cancelled; tests replace it.
    using NameAsker = std::function<QString(QWidget *parent, const QString &current)>;
    void setNameAsker(NameAsker asker) { m_askName = std::move(asker); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reload();
    void rename();
    void remove();
    void addExisting();
    void showFolder();
    void useMachineCalibration();
    void chosenChanged();

    CompanyDesk &m_desk;
    CompanyList *m_list;
    QPushButton *m_calibration;
    QLabel *m_calibrationState;
    FolderChooser m_chooseFolder;
    NameAsker m_askName;
};

// At start, when the 账套 asked for cannot be opened: says why and offers the others. Nothing
// when the clerk gives up.
std::optional<store::Company> chooseCompanyAtStart(const QString &problem);

} // namespace app
