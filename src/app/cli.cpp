#include "app/cli.h"

#include "batch/voucherlist.h"
#include "sheets/sheets.h"
#include "store/companies.h"
#include "store/database.h"
#include "store/datadir.h"
#include "printing/printerchoice.h"
#include "printing/printing.h"
#include "store/connection.h"
#include "ui/prompter.h"
#include "store/server.h"
#include "vouchers/customformstore.h"
#include "vouchers/history.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QSqlDatabase>

#include <memory>

namespace app {

namespace {

void say(std::FILE *to, const QString &text)
{
    std::fprintf(to, "%s\n", text.toUtf8().constData());
    std::fflush(to);
}

// A command line has nobody to click a message box: whatever would ask or tell goes to standard
// error, and a question is answered with no (or the only button there is).
class StreamPrompter : public ui::Prompter {
public:
    explicit StreamPrompter(std::FILE *to) : m_to(to), m_previous(&ui::prompter()) { ui::setPrompter(this); }
    ~StreamPrompter() override { ui::setPrompter(m_previous); }
    StreamPrompter(const StreamPrompter &) = delete;
    StreamPrompter &operator=(const StreamPrompter &) = delete;

    ui::Button ask(const ui::Prompt &prompt) override
    {
        say(m_to, prompt.title.isEmpty() ? prompt.text : prompt.title + QStringLiteral("：") + prompt.text);
        if (prompt.buttons & ui::No)
            return ui::No;
        if (prompt.buttons & ui::Cancel)
            return ui::Cancel;
        return ui::firstButton(prompt.buttons);
    }

private:
    std::FILE *m_to;
    ui::Prompter *m_previous;
};

struct Command {
    QString voucher;
    QString data;
    QString pdf;
    bool printer = false;
    QString printerName;
    bool allowRepeat = false;
    QString error;
};

// lanshi companies: the 账套 of the list, the last used first, one a line: name, folder, whose
// calibration it prints with, and when it was last used; a folder that is gone is said so.
// lanshi upload 账套 --as 新账套 --host 服务器 [--port 5432] --database 数据库 --user 用户: the file
// 账套's data into an empty database on the server, checked row by row, and a new 账套 of the list
// that uses it (its folder beside the other 账套 folders, for its settings).
int uploadCompany(const QStringList &args, std::FILE *out, std::FILE *err)
{
    QHash<QString, QString> options;
    QString source;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i].startsWith(QStringLiteral("--")) && i + 1 < args.size()) {
            options.insert(args[i].mid(2), args[i + 1]);
            ++i;
        }
        else if (source.isEmpty()) {
            source = args[i];
        } else {
            say(err, QStringLiteral("多余的参数“%1”。用 lanshi --help 查看用法。").arg(args[i]));
            return 1;
        }
    }
    const store::ServerAddress address{options.value(QStringLiteral("host")),
                                       options.value(QStringLiteral("port"), QStringLiteral("5432")).toInt(),
                                       options.value(QStringLiteral("database")), options.value(QStringLiteral("user"))};
    const QString name = options.value(QStringLiteral("as")).trimmed();
    if (source.isEmpty() || name.isEmpty() || !address.isValid()) {
        say(err, QStringLiteral("用法：lanshi upload 账套 --as 新账套 --host 服务器 [--port 端口] --database 数据库 --user 用户"));
        return 1;
    }
    const std::optional<store::Company> company = store::findCompany(source);
    if (!company || company->server) {
        say(err, QStringLiteral("没有名为“%1”的文件账套。用 lanshi companies 查看账套列表。").arg(source));
        return 1;
    }
    if (store::findCompany(name)) {
        say(err, QStringLiteral("已有名为“%1”的账套。").arg(name));
        return 1;
    }
    const QString folder = QDir(QDir(store::runningDataDirRequest(QString()).userFolder).filePath(QStringLiteral("账套")))
                               .filePath(name);
    if (!QDir().mkpath(folder)) {
        say(err, QStringLiteral("无法建立文件夹“%1”。").arg(QDir::toNativeSeparators(folder)));
        return 2;
    }
    QString error;
    const QString connection = QStringLiteral("lanshi-upload");
    {
        QSqlDatabase db = store::openServer(address, connection, &error);
        if (error.isEmpty())
            error = store::uploadToServer(QDir(company->folder).filePath(QStringLiteral("sjk.mdb")), db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        say(err, error);
        return 2;
    }
    if (!store::addCompany({name, folder, true, {}, address}, &error)) {
        say(err, QStringLiteral("已上传到 %1，但没有加入账套列表：%2").arg(address.toString(), error));
        return 2;
    }
    say(out, QStringLiteral("已把账套“%1”上传到 %2，逐行核对无误，作为账套“%3”加入账套列表。")
                 .arg(source, address.toString(), name));
    return 0;
}

int listCompanies(std::FILE *out, std::FILE *err)
{
    QString error;
    const QList<store::Company> list = store::companies(&error);
    if (!error.isEmpty()) {
        say(err, error);
        return 2;
    }
    if (list.isEmpty()) {
        say(out, QStringLiteral("还没有账套。程序窗口第一次启动时，把数据文件夹作为第一个账套。"));
        return 0;
    }
    for (const store::Company &c : list) {
        const QString problem = store::companyFolderProblem(c);
        say(out, QStringLiteral("%1\t%2\t%3\t%4%5")
                     .arg(c.name, QDir::toNativeSeparators(c.folder),
                          c.machineCalibration ? QStringLiteral("本机的打印校准") : QStringLiteral("自有的打印校准"),
                          c.lastUsed.isValid() ? c.lastUsed.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("未使用"),
                          (problem.isEmpty() ? QString() : QStringLiteral("\t（文件夹不可用）"))
                              + (c.server ? QStringLiteral("\t数据库服务器 %1").arg(c.server->toString()) : QString())));
    }
    return 0;
}

Command parse(const QStringList &args)
{
    Command c;
    if (args.value(0) != QLatin1String("print")) {
        c.error = QStringLiteral("未知的命令“%1”。").arg(args.value(0));
        return c;
    }
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--data") && i + 1 < args.size()) {
            c.data = args[++i];
        } else if (a == QLatin1String("--pdf") && i + 1 < args.size()) {
            c.pdf = args[++i];
        } else if (a == QLatin1String("--printer")) {
            c.printer = true;
            if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--")))
                c.printerName = args[++i];
        } else if (a == QLatin1String("--allow-repeat")) {
            c.allowRepeat = true;
        } else if (!a.startsWith(QLatin1String("--")) && c.voucher.isEmpty()) {
            c.voucher = a;
        } else {
            c.error = QStringLiteral("无法理解的参数“%1”。").arg(a);
            return c;
        }
    }
    if (c.voucher.isEmpty())
        c.error = QStringLiteral("没有给出凭证种类。");
    else if (c.data.isEmpty())
        c.error = QStringLiteral("没有给出付款清单（--data 文件）。");
    else if (!c.pdf.isEmpty() && c.printer)
        c.error = QStringLiteral("--pdf 和 --printer 只能选一个。");
    return c;
}

} // namespace

StartArguments takeStartArguments(const QStringList &arguments)
{
    StartArguments start;
    struct Option {
        QString name;
        QString *value;
        QString missing;
    };
    const Option options[] = {
        {QStringLiteral("--data-dir"), &start.dataDir, QStringLiteral("--data-dir 后面要写数据文件夹。")},
        {QStringLiteral("--company"), &start.company, QStringLiteral("--company 后面要写账套名称。")},
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const Option *taken = nullptr;
        QString value;
        for (const Option &o : options) {
            if (a == o.name) {
                taken = &o;
                if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                    start.error = o.missing;
                    return start;
                }
                value = arguments[++i];
            } else if (a.startsWith(o.name + QLatin1Char('='))) {
                taken = &o;
                value = a.mid(o.name.size() + 1);
                if (value.isEmpty()) {
                    start.error = o.missing;
                    return start;
                }
            }
        }
        if (taken)
            *taken->value = value;
        else
            start.rest << a;
    }
    if (!start.dataDir.isEmpty() && !start.company.isEmpty())
        start.error = QStringLiteral("--data-dir 和 --company 只能用其中一个。");
    return start;
}

std::unique_ptr<store::DataDir> openNamedFolder(const StartArguments &start, QString *error)
{
    if (!start.company.isEmpty()) {
        const std::optional<store::Company> company = store::findCompany(start.company);
        if (!company) {
            *error = QStringLiteral("没有名为“%1”的账套。用 lanshi companies 查看账套列表。").arg(start.company);
            return nullptr;
        }
        return store::openCompany(*company, error);
    }
    std::unique_ptr<store::DataDir> data = store::DataDir::open(store::runningDataDirRequest(start.dataDir), error);
    if (data) {
        const std::optional<store::Company> company = store::companyOfFolder(data->path());
        store::useCalibrationOf(company ? *company : store::Company{QString(), data->path(), false, {}});
    }
    return data;
}

bool isCommandLine(const QStringList &arguments)
{
    static const QStringList commands = {QStringLiteral("print"), QStringLiteral("companies"), QStringLiteral("upload"),
                                         QStringLiteral("--help"),
                                         QStringLiteral("-h"), QStringLiteral("--version")};
    return !arguments.isEmpty() && commands.contains(arguments.first());
}

QString commandLineHelp()
{
    QStringList kinds;
    for (const vouchers::VoucherKind &k : vouchers::voucherKinds())
        kinds << QStringLiteral("%1（%2）").arg(k.name, k.window);
    kinds << QStringLiteral("自定义凭证的名称");
    return QStringLiteral(
               "用法：\n"
               "  lanshi [--data-dir 数据文件夹 | --company 账套]   打开程序窗口\n"
               "  lanshi [--data-dir 数据文件夹 | --company 账套] print 凭证种类 --data 清单文件 [--pdf 输出.pdf | --printer [打印机名]] "
               "[--allow-repeat]\n"
               "  lanshi companies           列出账套：名称、数据文件夹、打印校准、上次使用\n"
               "  lanshi upload 账套 --as 新账套 --host 服务器 [--port 端口] --database 数据库 --user 用户\n"
               "                             把文件账套上传到 PostgreSQL 服务器上的空数据库，作为新账套（密码用 ~/.pgpass）\n"
               "  lanshi --help              显示本说明\n"
               "  lanshi --version           显示版本\n"
               "\n"
               "数据文件夹（数据库 sjk.mdb 和各项设置）：--data-dir 指定的文件夹（不存在时建立），否则环境变量\n"
               "LANSHI_DATA_DIR 指定的文件夹，否则程序所在的文件夹（其中已有 sjk.mdb 或可以写入时；安装在系统目录中的\n"
               "程序除外），否则 ~/.local/share/lanshi。同一个数据文件夹同时只能由一个程序使用：程序窗口开着时\n"
               "print 命令不打印，退出状态为 2。\n"
               "--company 使用账套列表中该名称的账套（每个账套是一个数据文件夹）；print 不写 --company 时用上面的数据文件夹。\n"
               "\n"
               "print 按付款清单（.xlsx、.xls 或 .csv，第一行为表头）批量打印凭证，每行一张：\n"
               "  凭证种类    %1\n"
               "  --data      清单文件；各凭证的列见 README\n"
               "  --pdf       写入一个PDF文件（每张凭证一页），不送打印机\n"
               "  --printer   送到打印机；不写名称时用该凭证选定的打印机，未选定时用默认打印机（不给 --pdf 时也是如此）\n"
               "  --allow-repeat  30天内向同一收款人打印过相同金额的凭证也打印\n"
               "打印前先检查每一行（与窗口打印相同的检查）；有问题时列出行和列，什么也不打印。\n"
               "打印的凭证记入打印历史；位置校准用程序窗口中保存的设置。\n"
               "\n"
               "退出状态：0 已打印；1 清单或命令有问题，没有打印；2 打印机、文件或数据文件夹出错（包括数据正被使用）。")
        .arg(kinds.join(QStringLiteral("、")));
}

int runCommandLine(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")) {
        say(out, commandLineHelp());
        return 0;
    }
    if (arguments.first() == QLatin1String("--version")) {
        say(out, QStringLiteral("蓝石竞技通 %1").arg(QStringLiteral(LANSHI_VERSION)));
        return 0;
    }
    if (arguments.first() == QLatin1String("companies"))
        return listCompanies(out, err);
    if (arguments.first() == QLatin1String("upload"))
        return uploadCompany(arguments, out, err);
    const Command c = parse(arguments);
    if (!c.error.isEmpty()) {
        say(err, c.error);
        say(err, QStringLiteral("用 lanshi --help 查看用法。"));
        return 1;
    }
    const StreamPrompter noBoxes(err);
    if (const QString problem = store::ensureCompanyDatabases(); !problem.isEmpty()) {
        say(err, problem);
        return 2;
    }
    // After the databases: a form of the clerk's own lives in the data folder's.
    const vouchers::VoucherKind *kind = vouchers::findVoucherKind(c.voucher);
    if (!kind) {
        say(err, QStringLiteral("没有“%1”这种凭证。用 lanshi --help 查看可用的凭证种类。").arg(c.voucher));
        return 1;
    }
    {
        // A print cut off last time is settled before this one can repeat it.
        store::Connection connection;
        for (const QString &text : vouchers::settleInterruptedPrints(connection))
            say(err, text);
    }
    sheets::Sheet sheet = sheets::readSheet(c.data);
    if (!sheet.ok()) {
        say(err, sheet.error);
        return 1;
    }
    QList<batch::ListRow> rows;
    rows.reserve(sheet.rows.size());
    for (sheets::Row &r : sheet.rows)
        rows.append({r.sheetRow, std::move(r.cells)}); // the cells once, not twice
    sheet.rows.clear();

    batch::VoucherList list(*kind);
    const batch::ListCheck check = batch::checkList(list, sheet.header, rows, c.allowRepeat);
    rows.clear(); // the entries hold what the print needs
    const QList<batch::RowProblem> problems = check.blocking();
    if (!problems.isEmpty()) {
        for (const batch::RowProblem &p : problems)
            say(err, p.toString());
        bool repeats = false;
        for (const batch::RowProblem &p : problems)
            repeats = repeats || p.repeat;
        say(err, QStringLiteral("清单有 %1 处问题，没有打印。").arg(problems.size()));
        if (repeats)
            say(err, QStringLiteral("重复的付款确要打印时，加 --allow-repeat。"));
        return 1;
    }
    const QList<const batch::Entry *> entries = check.toPrint();
    if (entries.isEmpty()) {
        say(err, QStringLiteral("清单中没有凭证，没有打印。"));
        return 1;
    }

    batch::Outcome outcome;
    if (!c.pdf.isEmpty()) {
        outcome = batch::saveEntriesPdf(entries, QFileInfo(c.pdf).absoluteFilePath());
    } else {
        // Without a name: the printer chosen for the voucher, or the system's default.
        const printing::PrinterPick pick = printing::printerOf(kind->window);
        if (c.printerName.isEmpty() && pick.gone) {
            say(err, QStringLiteral("%1选定的打印机“%2”已不在系统中，没有打印。可以用 --printer 打印机名 或 --pdf 写入PDF文件。")
                         .arg(kind->name, pick.chosen));
            return 2;
        }
        const QPrinterInfo info = c.printerName.isEmpty() ? pick.info : QPrinterInfo::printerInfo(c.printerName);
        std::unique_ptr<QPrinter> printer = vouchers::printerFor(info);
        if (!printer) {
            say(err, c.printerName.isEmpty() ? QStringLiteral("系统中没有默认打印机，没有打印。可以用 --pdf 写入PDF文件。")
                                             : QStringLiteral("没有名为“%1”的打印机，没有打印。").arg(c.printerName));
            return 2;
        }
        printer->setDocName(QStringLiteral("批量打印-%1").arg(kind->name));
        outcome = batch::printEntries(entries, *printer);
    }
    if (!outcome.error.isEmpty()) {
        say(err, outcome.error);
        if (outcome.printed > 0)
            say(err, outcome.unrecorded ? QStringLiteral("已打印 %1 张，打印记录下次启动时补记。").arg(outcome.printed)
                                        : QStringLiteral("已记录 %1 张。").arg(outcome.printed));
        return 2;
    }
    say(out, c.pdf.isEmpty() ? QStringLiteral("已打印 %1 张%2，已记入打印查询。").arg(outcome.printed).arg(kind->name)
                             : QStringLiteral("已把 %1 张%2写入“%3”，已记入打印查询。")
                                   .arg(outcome.printed)
                                   .arg(kind->name, QFileInfo(c.pdf).absoluteFilePath()));
    return 0;
}

int runProgramCommandLine(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const StartArguments start = takeStartArguments(arguments);
    if (!start.error.isEmpty()) {
        say(err, start.error);
        return 1;
    }
    std::unique_ptr<store::DataDir> data;
    if (start.rest.value(0) == QLatin1String("print")) {
        QString error;
        data = openNamedFolder(start, &error);
        if (!data) {
            say(err, error);
            say(err, QStringLiteral("没有打印。"));
            return 2;
        }
    }
    return runCommandLine(start.rest, out, err);
}

} // namespace app
