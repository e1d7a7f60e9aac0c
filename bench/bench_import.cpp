// Customer import of 10,000 rows, beside an anchor on the same stack:
//   BM_Import/<file>          the import as the window runs it once the clerk presses 导入: the file
//                             read and checked, every row with its initials and reading forms
//                             inserted in one transaction (all or nothing)
//   BM_Anchor/<file>          a plain C reader of the same file (stdio for the .csv; libzip and a
//                             scan of the XML for the .xlsx) inserting the same rows with one
//                             prepared statement of the SQLite library in one transaction; the
//                             initials and reading forms from the same text routines
//   BM_ImportThroughWindow    the window itself on the .xls: opened (reading and listing the
//                             rows), 导入 pressed, the success message
// The ratios (program / anchor) are the counters of BM_Import.
//   QT_QPA_PLATFORM=offscreen bench_import

#include "../tests/support/xlsbuilder.h"
#include "maintenance/customerimport.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kRows = 10000;
const char *const kFiles[] = {"khb.csv", "khb.xlsx", "khb.xls"};

QString nameOf(int i) { return QStringLiteral("华东建材第%1分公司").arg(i); }
QString bankOf(int i) { return QStringLiteral("中国工商银行上海分行%1支行").arg(i % 97); }
QString accountOf(int i) { return QString::number(6222020000000000LL + i); }

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Answers every message with its first button and counts the success messages.
struct QuietPrompter : ui::Prompter {
    int successes = 0;
    ui::Button ask(const ui::Prompt &prompt) override
    {
        if (prompt.text.startsWith(QStringLiteral("恭喜你，信息已成功导入")))
            ++successes;
        return ui::firstButton(prompt.buttons);
    }
};

struct Setup {
    QTemporaryDir dir;
    QString pristine; // a fresh database to start each import from

    Setup()
    {
        store::setAppDir(dir.path());
        if (!store::ensureDatabase().ok)
            std::abort();
        pristine = dir.filePath(QStringLiteral("pristine.mdb"));
        QFile::copy(store::databasePath(), pristine);

        QVector<xlstest::Row> rows;
        rows.reserve(kRows);
        for (int i = 0; i < kRows; ++i)
            rows.append(xlstest::Row{nameOf(i), 6222020000000000.0 + i, bankOf(i), QStringLiteral("上海"),
                                     QStringLiteral("浦东新区")});
        if (!xlstest::writeFile(file(2), xlstest::customerWorkbook(rows)))
            std::abort();

        QFile csv(file(0));
        csv.open(QIODevice::WriteOnly);
        csv.write("公司名称,帐号,开户行,省/市,市/县\n");
        for (int i = 0; i < kRows; ++i)
            csv.write(QStringLiteral("%1,%2,%3,上海,浦东新区\n").arg(nameOf(i), accountOf(i), bankOf(i)).toUtf8());
        csv.close();

        lxw_workbook *book = workbook_new(QFile::encodeName(file(1)).constData());
        lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
        const char *const captions[] = {"公司名称", "帐号", "开户行", "省/市", "市/县"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), captions[c], nullptr);
        for (int i = 0; i < kRows; ++i) {
            const lxw_row_t r = lxw_row_t(i + 1);
            worksheet_write_string(sheet, r, 0, nameOf(i).toUtf8().constData(), nullptr);
            worksheet_write_string(sheet, r, 1, accountOf(i).toUtf8().constData(), nullptr);
            worksheet_write_string(sheet, r, 2, bankOf(i).toUtf8().constData(), nullptr);
            worksheet_write_string(sheet, r, 3, "上海", nullptr);
            worksheet_write_string(sheet, r, 4, "浦东新区", nullptr);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            std::abort();
    }
    QString file(int kind) const { return store::appFile(QString::fromLatin1(kFiles[kind])); }
    void freshDatabase() const
    {
        QFile::remove(store::databasePath());
        QFile::copy(pristine, store::databasePath());
    }
    static Setup &get()
    {
        static Setup s;
        return s;
    }
};

std::map<int, double> g_anchorCpu;

// ---- The anchor ----

struct Customer {
    std::string cells[5];
};

// The .csv by stdio: one line a row, five cells split at the commas.
std::vector<Customer> anchorReadCsv(const char *path)
{
    std::vector<Customer> rows;
    std::FILE *f = std::fopen(path, "rb");
    char line[4096];
    bool header = true;
    while (std::fgets(line, sizeof line, f)) {
        if (header) {
            header = false;
            continue;
        }
        Customer c;
        const char *p = line;
        for (int k = 0; k < 5; ++k) {
            const char *end = p + std::strcspn(p, ",\r\n");
            c.cells[k].assign(p, end);
            p = *end == ',' ? end + 1 : end;
        }
        rows.push_back(std::move(c));
    }
    std::fclose(f);
    return rows;
}

std::string zipEntry(zip_t *zip, const char *name)
{
    zip_stat_t st;
    zip_stat(zip, name, 0, &st);
    std::string out(st.size, '\0');
    zip_file_t *f = zip_fopen(zip, name, 0);
    zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    return out;
}

// The text between the next open tag named tag (from pos) and its close; pos moves past it.
bool nextElement(const std::string &xml, const char *open, const char *close, size_t &pos, std::string &text)
{
    const size_t start = xml.find(open, pos);
    if (start == std::string::npos)
        return false;
    const size_t body = xml.find('>', start) + 1;
    const size_t end = xml.find(close, body);
    text.assign(xml, body, end - body);
    pos = end;
    return true;
}

// The .xlsx through libzip: the shared strings, then the sheet's cells in order.
std::vector<Customer> anchorReadXlsx(const char *path)
{
    int error = 0;
    zip_t *zip = zip_open(path, ZIP_RDONLY, &error);
    const std::string strings = zipEntry(zip, "xl/sharedStrings.xml");
    const std::string sheet = zipEntry(zip, "xl/worksheets/sheet1.xml");
    zip_close(zip);
    std::vector<std::string> shared;
    std::string text;
    for (size_t pos = 0; nextElement(strings, "<t", "</t>", pos, text);)
        shared.push_back(text);
    std::vector<Customer> rows;
    size_t pos = sheet.find("<row");
    std::string row;
    for (bool header = true; nextElement(sheet, "<row", "</row>", pos, row); header = false) {
        if (header)
            continue;
        Customer c;
        size_t at = 0;
        for (int k = 0; k < 5 && nextElement(row, "<v", "</v>", at, text); ++k)
            c.cells[k] = shared[std::strtoul(text.c_str(), nullptr, 10)];
        rows.push_back(std::move(c));
    }
    return rows;
}

void anchorImport(int kind, const Setup &s)
{
    const QByteArray path = QFile::encodeName(s.file(kind));
    const std::vector<Customer> rows = kind == 0 ? anchorReadCsv(path.constData()) : anchorReadXlsx(path.constData());
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(store::databasePath()).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO khb (gsmc, zhh, khh, sheng, shi, gsmczmjc, gsmcdyjc, gsmcdyzm) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (const Customer &c : rows) {
        for (int k = 0; k < 5; ++k)
            sqlite3_bind_text(insert, k + 1, c.cells[k].data(), int(c.cells[k].size()), SQLITE_STATIC);
        const QString name = QString::fromUtf8(c.cells[0].data(), qsizetype(c.cells[0].size()));
        const QByteArray initials = text::initials(name).toUtf8();
        const QString setsText = text::readingSets(name);
        const QByteArray common = text::commonInitials(setsText).toUtf8();
        const QByteArray sets = setsText.toUtf8();
        sqlite3_bind_text(insert, 6, initials.constData(), int(initials.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, common.constData(), int(common.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 8, sets.constData(), int(sets.size()), SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE)
            std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

int customerCount()
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(store::databasePath()).constData(), &db);
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM khb", -1, &q, nullptr);
    sqlite3_step(q);
    const int n = sqlite3_column_int(q, 0);
    sqlite3_finalize(q);
    sqlite3_close(db);
    return n;
}

// The last run added every row to what a fresh database holds.
bool insertedAll(const Setup &s)
{
    const int after = customerCount();
    s.freshDatabase();
    return after - customerCount() == kRows;
}

void BM_Anchor(benchmark::State &state)
{
    const Setup &s = Setup::get();
    const int kind = int(state.range(0));
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();
        const double before = cpuSeconds();
        anchorImport(kind, s);
        cpu += cpuSeconds() - before;
    }
    if (!insertedAll(s))
        state.SkipWithError("the anchor did not insert every row");
    g_anchorCpu[kind] = cpu / double(state.iterations());
    state.SetLabel(kFiles[kind]);
}

// ---- The program ----

void BM_Import(benchmark::State &state)
{
    const Setup &s = Setup::get();
    const int kind = int(state.range(0));
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();
        const double before = cpuSeconds();
        {
            const sheets::Sheet sheet = maintenance::readCustomerSheet(s.file(kind));
            QVector<QStringList> rows;
            QVector<int> sheetRows;
            rows.reserve(sheet.rows.size());
            for (const sheets::Row &r : sheet.rows) {
                rows << r.cells;
                sheetRows << r.sheetRow;
            }
            store::Connection connection;
            QString failedRow, error;
            if (!maintenance::appendCustomers(connection, rows, sheetRows, nullptr, &failedRow, &error))
                state.SkipWithError(qPrintable(error));
        }
        cpu += cpuSeconds() - before;
    }
    if (!insertedAll(s))
        state.SkipWithError("the import did not insert every row");
    const double perRun = cpu / double(state.iterations());
    state.counters["cpu_s"] = perRun;
    if (const auto a = g_anchorCpu.find(kind); a != g_anchorCpu.end()) {
        state.counters["anchor_cpu_s"] = a->second;
        state.counters["ratio"] = perRun / a->second;
    }
    state.SetLabel(kFiles[kind]);
}

void BM_ImportThroughWindow(benchmark::State &state)
{
    const Setup &s = Setup::get();
    QuietPrompter prompter;
    ui::setPrompter(&prompter);
    for (auto _ : state) {
        state.PauseTiming();
        s.freshDatabase();
        state.ResumeTiming();

        auto *w = new maintenance::CustomerImportWindow;
        w->show(); // activation reads the sheet
        w->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ui::setPrompter(nullptr);
    if (prompter.successes != int(state.iterations()))
        state.SkipWithError("an import did not succeed");
    state.counters["rows"] = kRows;
}

} // namespace

BENCHMARK(BM_Anchor)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Import)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ImportThroughWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
