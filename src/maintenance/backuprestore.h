#pragma once
// The backup window sjbf and the restore window sjhf: the database file copied out and back.

#include <QWidget>

#include <functional>

namespace Ui { class sjbf; class sjhf; }
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace maintenance {

// The file dialog of a window; returns the chosen path, empty when the user cancels.
using PathChooser = std::function<QString(QWidget *parent)>;

class BackupWindow : public QWidget {
    Q_OBJECT
public:
    explicit BackupWindow(QWidget *parent = nullptr);
    ~BackupWindow() override;

    void setDestinationChooser(PathChooser chooser) { m_choose = std::move(chooser); }
    static QString askDestination(QWidget *parent); // the save dialog
    // What the save dialog proposes: sjk-备份-<yyyyMMdd>.mdb in the user's Documents folder, or
    // in the home folder when there is none; never the live database.
    static QString proposedDestination();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void choose();
    void start();
    void updateStart();

    Ui::sjbf *ui;
    PathChooser m_choose = askDestination;
    bool m_copying = false;
};

class RestoreWindow : public QWidget {
    Q_OBJECT
public:
    explicit RestoreWindow(QWidget *parent = nullptr);
    ~RestoreWindow() override;

    void setBackupChooser(PathChooser chooser) { m_choose = std::move(chooser); }
    static QString askBackup(QWidget *parent); // the open dialog
    QString lastSafetyCopy() const { return m_safetyCopy; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void choose();
    void start();
    // 否 (the default) leaves everything as it is.
    bool confirmReplacing();
    void updateStart();

    Ui::sjhf *ui;
    PathChooser m_choose = askBackup;
    QString m_safetyCopy;
    bool m_copying = false;
};

} // namespace maintenance
