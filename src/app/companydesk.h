#pragma once
// The 账套 the program window works on: opened at start, switched from the 账套 menu, each held
// locked while it is open so that another program window takes another.

#include "store/companies.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace store { class DataDir; }

namespace app {

class MainWindow;
class StartupCheck;

class CompanyDesk : public QObject {
    Q_OBJECT
public:
    // How the program was started: a folder given (--data-dir, LANSHI_DATA_DIR), a 账套 named
    // (--company), or neither (the last used 账套; the first start makes the data folder chosen
    // as before the first 账套).
    struct Start {
        QString dataDirOption;
        QString companyOption;
    };
    explicit CompanyDesk(QObject *parent = nullptr);
    ~CompanyDesk() override;

    // Opens the 账套 of the start. One that cannot be opened (its folder gone, another program
    // window holding it) is told through chooseOther, which may return another 账套 to try
    // (the 打开账套 list), or nothing to give up. False when nothing could be opened; *error
    // then says why.
    using ChooseOther = std::function<std::optional<store::Company>(const QString &problem)>;
    bool openAtStart(const Start &start, const ChooseOther &chooseOther, QString *error);

    // The window whose title and status bar carry the 账套, and which the 账套's questions go to.
    void setMainWindow(MainWindow *main);

    // Brings the opened folder's databases into use: ensured (created when missing, upgraded),
    // the leftovers of a cut-off backup removed, a print cut off last time settled, the quick
    // check started; a first start registers the folder as the first 账套. False after telling
    // the clerk what is wrong.
    bool enter();

    // Switches to company: every window of the current 账套 closed first (the clerk asked where one
    // holds unprinted entries), then the other opened and entered. False, with the current 账套
    // still open, when the clerk declined or it cannot be opened (told).
    bool switchTo(const store::Company &company);

    // The current 账套: listed, or a folder of its own (--data-dir) that is not.
    std::optional<store::Company> current() const { return m_company; }
    QString folder() const;
    // The name windows show for it: the 账套's, or the folder's own company while unlisted.
    QString name() const;

    // Moves the current 账套 onto the machine's calibration (started as a copy of its own when the
    // machine has none yet). Empty on success, else the message.
    QString useMachineCalibration();

    // Reads the current 账套 from the list again (renamed) and shows it.
    void reloadCurrent();

    // Sets the captions (store::currentCompanyCaption) and the main window's title and status bar.
    void showCaption();

signals:
    // Another 账套 is open now.
    void switched();

private:
    bool enterOpened(QString *error);
    void registerFirst();

    QPointer<MainWindow> m_main;
    std::unique_ptr<store::DataDir> m_dir;
    std::optional<store::Company> m_company;
    bool m_registerAsFirst = false;
    QString m_listProblem; // the list could not be read at start: told once the window is up
    std::unique_ptr<StartupCheck> m_check;
};

} // namespace app
