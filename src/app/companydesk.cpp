#include "app/companydesk.h"

#include "app/mainwindow.h"
#include "app/startupcheck.h"
#include "maintenance/databasefile.h"
#include "store/appdir.h"
#include "store/companyfiles.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datadir.h"
#include "ui/prompter.h"
#include "vouchers/history.h"

#include <QDir>

namespace app {

namespace {
const QString kTitle = QStringLiteral("账套");

} // namespace

CompanyDesk::CompanyDesk(QObject *parent) : QObject(parent) {}

CompanyDesk::~CompanyDesk() = default;

void CompanyDesk::setMainWindow(MainWindow *main) { m_main = main; }

QString CompanyDesk::folder() const { return m_dir ? m_dir->path() : QString(); }

QString CompanyDesk::name() const
{
    if (m_company && !m_company->name.isEmpty())
        return m_company->name;
    return QDir(folder()).dirName();
}

namespace {
// The program window works on file 账套 only for now: a server 账套's windows (the initials search,
// backup and restore, voiding) do not yet know the server, and a restore would report success
// while the server stayed as it was. The command line prints on either.
std::unique_ptr<store::DataDir> openInWindow(const store::Company &company, QString *error)
{
    if (company.server) {
        *error = QStringLiteral("账套“%1”在数据库服务器 %2 上。程序窗口暂时还不能打开服务器上的账套；"
                                "可以用 lanshi --company %1 print 打印付款清单。")
                     .arg(company.name, company.server->toString());
        return nullptr;
    }
    return store::openCompany(company, error);
}
} // namespace

bool CompanyDesk::openAtStart(const Start &start, const ChooseOther &chooseOther, QString *error)
{
    QString problem;
    if (!start.companyOption.isEmpty()) {
        m_company = store::findCompany(start.companyOption);
        if (!m_company)
            problem = QStringLiteral("没有名为“%1”的账套。").arg(start.companyOption);
        else
            m_dir = openInWindow(*m_company, &problem);
    } else {
        const QList<store::Company> list = store::companies(&problem);
        const bool folderGiven = !start.dataDirOption.isEmpty() || !qEnvironmentVariableIsEmpty("LANSHI_DATA_DIR");
        if (folderGiven || list.isEmpty()) {
            // A folder as before 账套: the option's, the environment's or the default choice.
            m_dir = store::DataDir::open(store::runningDataDirRequest(start.dataDirOption), error);
            if (!m_dir)
                return false;
            m_company = store::companyOfFolder(m_dir->path());
            m_registerAsFirst = !folderGiven && !m_company && problem.isEmpty();
            m_listProblem = problem;
            store::useCalibrationOf(m_company ? *m_company : store::Company{QString(), m_dir->path(), false, {}});
            return true;
        }
        m_company = list.first();
        m_dir = openInWindow(*m_company, &problem);
    }
    // The one asked for cannot be opened: the clerk may take another.
    while (!m_dir) {
        const std::optional<store::Company> other = chooseOther ? chooseOther(problem) : std::nullopt;
        if (!other) {
            *error = problem;
            m_company.reset();
            return false;
        }
        m_company = other;
        m_dir = openInWindow(*m_company, &problem);
    }
    return true;
}

bool CompanyDesk::enterOpened(QString *error)
{
    if (const QString problem = store::ensureCompanyDatabases(); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    // What a backup, restore or export cut off by a crash left in the data folder.
    maintenance::removeLeftoversAtStart();
    QWidget *window = m_main;
    m_check = std::make_unique<StartupCheck>(store::databasePath(), window);
    // A print cut off last time (the program killed between handing vouchers over and recording
    // them): settled now, and the clerk told what it was.
    store::Connection connection;
    const QString title = QStringLiteral("打印");
    const QStringList told = vouchers::settleInterruptedPrints(connection, [window, &title](const QString &question) {
        return ui::ask(window, question, title, ui::Yes | ui::No, ui::Icon::Question, ui::Yes) == ui::Yes;
    });
    for (const QString &text : told)
        ui::tell(window, text, title, ui::Icon::Warning);
    if (!m_listProblem.isEmpty()) {
        ui::tell(window, m_listProblem + QStringLiteral("\n\n现在打开的是数据文件夹“%1”；账套列表保持原样，不会被改写。")
                             .arg(QDir::toNativeSeparators(folder())),
                 kTitle, ui::Icon::Warning);
        m_listProblem.clear();
    }
    if (m_registerAsFirst)
        registerFirst();
    if (m_company)
        store::touchCompany(m_company->name);
    showCaption();
    return true;
}

bool CompanyDesk::enter()
{
    QString error;
    if (enterOpened(&error))
        return true;
    ui::tell(m_main, error, QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
    return false;
}

void CompanyDesk::registerFirst()
{
    m_registerAsFirst = false;
    store::Company first;
    first.name = store::ownCompanyNameIn(m_dir->path());
    if (first.name.isEmpty())
        first.name = QStringLiteral("默认账套");
    first.folder = m_dir->path();
    first.machineCalibration = false; // it keeps the calibration it has until the clerk moves it
    first.lastUsed = QDateTime::currentDateTime();
    if (store::addCompany(first, nullptr))
        m_company = first;
}

bool CompanyDesk::switchTo(const store::Company &company)
{
    if (m_dir && QDir::cleanPath(company.folder) == m_dir->path())
        return true;
    if (m_main && !m_main->closeWindowsOfCompany())
        return false;
    m_check.reset();
    QString error;
    std::unique_ptr<store::DataDir> next = openInWindow(company, &error);
    if (!next) {
        // The current one stays as it was.
        store::setAppDir(folder());
        if (m_company)
            store::useCalibrationOf(*m_company);
        else
            store::setCalibrationDir(QString());
        if (m_dir)
            m_check = std::make_unique<StartupCheck>(store::databasePath(), m_main.data());
        ui::tell(m_main, error, kTitle, ui::Icon::Warning);
        return false;
    }
    std::unique_ptr<store::DataDir> previous = std::move(m_dir);
    const std::optional<store::Company> previousCompany = m_company;
    m_dir = std::move(next);
    m_company = company;
    m_registerAsFirst = false;
    if (!enterOpened(&error)) {
        // Back to the one that was open: its lock is still held.
        m_dir = std::move(previous);
        m_company = previousCompany;
        store::setAppDir(folder());
        if (m_company)
            store::useCalibrationOf(*m_company);
        else
            store::setCalibrationDir(QString());
        store::Connection::reopenAll();
        m_check = std::make_unique<StartupCheck>(store::databasePath(), m_main.data());
        showCaption();
        ui::tell(m_main, QStringLiteral("无法打开账套“%1”：%2").arg(company.name, error), kTitle, ui::Icon::Critical);
        return false;
    }
    previous.reset(); // the old 账套's lock goes: another program window may take it now
    store::Connection::reopenAll();
    emit switched();
    return true;
}

QString CompanyDesk::useMachineCalibration()
{
    if (!m_company)
        return QStringLiteral("本数据文件夹不在账套列表中，不能改用本机的打印校准。");
    if (m_company->machineCalibration)
        return {};
    if (QString error = store::startMachineCalibration(folder()); !error.isEmpty())
        return error;
    QString error;
    if (!store::setMachineCalibration(m_company->name, true, &error))
        return error;
    m_company->machineCalibration = true;
    store::useCalibrationOf(*m_company);
    if (QString problem = store::ensureCompanyDatabases(); !problem.isEmpty()) {
        // Back to its own, which is still there untouched.
        store::setMachineCalibration(m_company->name, false, nullptr);
        m_company->machineCalibration = false;
        store::useCalibrationOf(*m_company);
        return problem;
    }
    store::Connection::reopenAll();
    return {};
}

void CompanyDesk::reloadCurrent()
{
    if (m_dir)
        if (const std::optional<store::Company> listed = store::companyOfFolder(m_dir->path()))
            m_company = listed;
    showCaption();
}

void CompanyDesk::showCaption()
{
    // Shown once there is more than one: with one 账套 there is nobody else to print for.
    const bool several = store::companies().size() > 1;
    store::setCurrentCompanyCaption(several ? name() : QString());
    if (m_main)
        m_main->setCompanyCaption(store::currentCompanyCaption());
}

} // namespace app
