// Print history timings at the size a long-used installation reaches (1,000,000 rows):
// the query by payee and payment dates, and the workbook export of 100,000 rows with the
// memory it takes. Two histories: payees from a list of 2,000 (as in real use), and a payee of
// its own on every row (the worst case for a search that tests each distinct name).
//   bench_history                               (each set-up fills its history once, ~20 s)
//   bench_history --benchmark_filter=Query      (queries only)
//   bench_history --benchmark_filter='Search|Order|Totals'  (the query window's searches, sorting, totals)
//   bench_history --benchmark_filter=Distinct   (the one-payee-per-row history only)
// process_cpu_s is the CPU time of both export threads.
// Memory: peak_MB is the highest resident size during the export above the size before it
// (the kernel's peak is reset before each export through /proc/self/clear_refs).

#include "history/columns.h"
#include "history/workbookexport.h"
#include "vouchers/repeats.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/sqlitefile.h"
#include "store/statements.h"
#include "text/amount.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <random>

#include <sys/resource.h>

namespace {

using namespace store;

constexpr int kHistoryRows = 1000000;
// The types the vouchers record, in turn.
const QString kTypes[] = {QStringLiteral("支票"),     QStringLiteral("进账单"),     QStringLiteral("建行电汇"),
                          QStringLiteral("汇款凭证"), QStringLiteral("农行申请书"), QStringLiteral("交款单")};
constexpr int kRowsPerDay = 300; // about nine years of vouchers
const QDate kFirstDay(2010, 1, 1);

[[noreturn]] void die(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

enum class Payees { FromAList, OnePerRow };

struct Bench {
    QTemporaryDir dir;
    std::unique_ptr<Connection> connection;
    Payees kind;

    explicit Bench(Payees payees) : kind(payees)
    {
        setAppDir(dir.path());
        const DatabaseStatus status = ensureDatabase();
        if (!status.ok)
            die(status.errorText);
        connection = std::make_unique<Connection>();
        fill();
    }

    static std::unique_ptr<Bench> &instance(Payees payees)
    {
        static std::unique_ptr<Bench> benches[2];
        return benches[int(payees)];
    }
    // One history at a time: a connection follows the application directory it was opened in.
    static Bench &get(Payees payees = Payees::FromAList)
    {
        if (!instance(payees)) {
            instance(Payees(1 - int(payees))).reset();
            instance(payees) = std::make_unique<Bench>(payees);
        }
        return *instance(payees);
    }

    // The payee of row i.
    static QString payee(Payees kind, const QStringList &names, std::mt19937 &random, int i)
    {
        const QString &name = names.at(int(random() % names.size()));
        return kind == Payees::FromAList ? name : name + QLatin1Char('-') + QString::number(i);
    }

    // Payees come from a customer list of 2,000 names, as in real use where the same
    // counterparties are paid again and again.
    static QStringList payees()
    {
        static const QString chars = QStringLiteral("华东建材有限公司上海北京天津广州深圳科技贸易"
                                                    "发展实业集团电子工程机械化工物流商贸");
        std::mt19937 random(11);
        QStringList names;
        for (int i = 0; i < 2000; ++i) {
            QString name;
            const int n = 6 + int(random() % 8);
            for (int k = 0; k < n; ++k)
                name += chars.at(int(random() % chars.size()));
            names << name + QString::number(i);
        }
        return names;
    }

    void fill()
    {
        // The set-up writes straight into the table: it stands for years of printing, not for
        // anything a window does.
        const QStringList names = payees();
        std::mt19937 random(7);
        QSqlDatabase db = connection->database();
        Transaction t(*connection);
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, fkyt, fkrmc, fkrzhh, "
                                      "fkrkhh, skrmc, skrzhh, skrkhh) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)")))
            die(q.lastError().text());
        for (int i = 0; i < kHistoryRows; ++i) {
            const QString day = kFirstDay.addDays(i / kRowsPerDay).toString(Qt::ISODate);
            q.addBindValue(day);
            q.addBindValue(day);
            q.addBindValue(kTypes[i % std::size(kTypes)]);
            q.addBindValue(QString::number(10000000 + i));
            q.addBindValue(QString::number(random() % 1000000 / 100.0, 'f', 2));
            q.addBindValue(QStringLiteral("货款"));
            q.addBindValue(QStringLiteral("北京示例商贸有限公司"));
            q.addBindValue(QStringLiteral("0200001009014412345"));
            q.addBindValue(QStringLiteral("中国工商银行北京朝阳支行"));
            q.addBindValue(payee(kind, names, random, i));
            q.addBindValue(QStringLiteral("31001234567890123456"));
            q.addBindValue(QStringLiteral("中国建设银行上海浦东支行"));
            if (!q.exec())
                die(q.lastError().text());
        }
        if (!t.commit())
            die(t.errorText());
        // The plans of both forms of the payee search, for the record.
        const Statement forms[] = {
            statements::historyByPayeeAndDates(QStringLiteral("a"), QDate(2014, 3, 1), QDate(2014, 3, 31),
                                               statements::PayeePlan::NamesFirst),
            statements::historyByPayeeAndDates(QStringLiteral("a"), QDate(2014, 3, 1), QDate(2014, 3, 31),
                                               statements::PayeePlan::DatesFirst)};
        for (const Statement &form : forms) {
            QSqlQuery plan(db);
            plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid FROM dyb WHERE %1 ORDER BY rowid").arg(form.condition()));
            for (const QVariant &v : form.values())
                plan.addBindValue(v);
            plan.exec();
            while (plan.next())
                std::fprintf(stderr, "plan %s: %s\n", qPrintable(form.condition().left(40)), qPrintable(plan.value(3).toString()));
        }
    }
};

// The plan of the payee searches: 0 the cheaper one as chosen, 1 names first, 2 dates first.
statements::PayeePlan planOf(const benchmark::State &state)
{
    return statements::PayeePlan(state.range(0));
}

void refreshLoop(benchmark::State &state, const Statement &statement, Payees payees = Payees::FromAList)
{
    DataSource rows(*Bench::get(payees).connection);
    rows.setStatement(statement);
    for (auto _ : state) {
        rows.refresh();
        // The window reads the current row right after a refresh.
        benchmark::DoNotOptimize(rows.text(0));
    }
    state.counters["rows"] = rows.recordCount();
}

// The everyday query: part of a payee's name and one month.
void BM_Query_PayeeAndMonth(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("建材"), QDate(2014, 3, 1),
                                                          QDate(2014, 3, 31), planOf(state)));
}

// The window's opening dates: today only, any payee.
void BM_Query_OneDayAnyPayee(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2012, 6, 1), QDate(2012, 6, 1)));
}

// One payee over a whole year.
void BM_Query_PayeeAndYear(benchmark::State &state)
{
    const QString payee = Bench::payees().at(42);
    refreshLoop(state, statements::historyByPayeeAndDates(payee, QDate(2013, 1, 1), QDate(2013, 12, 31), planOf(state)));
}

// One payee over every year: the range covers the whole history.
void BM_Query_PayeeAllYears(benchmark::State &state)
{
    const QString payee = Bench::payees().at(42);
    refreshLoop(state, statements::historyByPayeeAndDates(payee, QDate(2000, 1, 1), QDate(2030, 1, 1), planOf(state)));
}

// Every row through the date query (the widest result there is).
void BM_Query_EverythingByDates(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2000, 1, 1), QDate(2030, 1, 1)));
}

// The same searches in a history where every row has a payee of its own.
void BM_Distinct_PayeeAnd3Months(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("建材"), QDate(2014, 3, 1), QDate(2014, 5, 31), planOf(state)),
                Payees::OnePerRow);
}

void BM_Distinct_PayeeAndMonth(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("建材"), QDate(2014, 3, 1), QDate(2014, 3, 31), planOf(state)),
                Payees::OnePerRow);
}

// One payee (one row: the names end in the row's number) over every year.
void BM_Distinct_OnePayeeAllYears(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("-424242"), QDate(2000, 1, 1), QDate(2030, 1, 1), planOf(state)),
                Payees::OnePerRow);
}

// A character in a fifth of the names, over a month and over every year.
void BM_Distinct_CommonTextAndMonth(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("华"), QDate(2014, 3, 1), QDate(2014, 3, 31), planOf(state)),
                Payees::OnePerRow);
}

void BM_Distinct_CommonTextAllYears(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QStringLiteral("华"), QDate(2000, 1, 1), QDate(2030, 1, 1), planOf(state)),
                Payees::OnePerRow);
}

// A window's first search: its connection opens and counts the distinct payees once.
void BM_Distinct_FirstSearchOfAWindow(benchmark::State &state)
{
    Bench::get(Payees::OnePerRow);
    for (auto _ : state) {
        Connection connection;
        DataSource rows(connection);
        rows.setStatement(statements::historyByPayeeAndDates(QStringLiteral("建材"), QDate(2014, 3, 1), QDate(2014, 5, 31)));
        rows.refresh();
        benchmark::DoNotOptimize(rows.text(0));
    }
}

void BM_Distinct_OneDayAnyPayee(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2012, 6, 1), QDate(2012, 6, 1)),
                Payees::OnePerRow);
}

// The query window's other searches: 0 voucher number (any date), 1 type over a month, 2 type
// over every year, 3 an amount range over a year, 4 one amount (any date), 5 type, amount and
// payee over a year.
statements::HistoryFilter searchOf(int which)
{
    statements::HistoryFilter f;
    f.from = QDate(2013, 1, 1);
    f.to = QDate(2013, 12, 31);
    switch (which) {
    case 0:
        f.number = QStringLiteral("1234567");
        f.anyDate = true;
        break;
    case 1:
        f.type = QStringLiteral("支票");
        f.from = QDate(2014, 3, 1);
        f.to = QDate(2014, 3, 31);
        break;
    case 2:
        f.type = QStringLiteral("支票");
        f.from = QDate(2000, 1, 1);
        f.to = QDate(2030, 1, 1);
        break;
    case 3:
        f.minFen = 10000;
        f.maxFen = 20000;
        break;
    case 4:
        f.minFen = f.maxFen = 123456;
        f.anyDate = true;
        break;
    default:
        f.type = QStringLiteral("进账单");
        f.minFen = 500000;
        f.payee = QStringLiteral("建材");
        break;
    }
    return f;
}

void BM_Search(benchmark::State &state)
{
    refreshLoop(state, statements::historySearch(searchOf(int(state.range(0)))));
}

// Every row in the order of a column heading clicked: 0 付款日期, 1 收款人名称, 2 付款金额, 3 凭证号码.
void BM_Order_AllRows(benchmark::State &state)
{
    const char *const columns[] = {"fkrq", "skrmc", "fkje", "pzhm"};
    refreshLoop(state, statements::historyOrderedBy(statements::history(), QString::fromLatin1(columns[state.range(0)]),
                                                    false));
}

// The total under the grid: 0 every row (the window opening), 1 a month, 2 a payee over every year,
// 3 cheques over every year.
void BM_Totals(benchmark::State &state)
{
    Bench &bench = Bench::get();
    statements::HistoryFilter f;
    Statement statement = statements::history();
    if (state.range(0) == 1) {
        f.from = QDate(2014, 3, 1);
        f.to = QDate(2014, 3, 31);
        statement = statements::historySearch(f);
    } else if (state.range(0) == 2) {
        f.payee = Bench::payees().at(42);
        f.anyDate = true;
        statement = statements::historySearch(f);
    } else if (state.range(0) == 3) {
        statement = statements::historySearch(searchOf(2));
    }
    qint64 rows = 0;
    for (auto _ : state) {
        const statements::AmountTotal total = statements::historyAmountTotal(statement, *bench.connection);
        if (!total.ok)
            die(total.error);
        rows = total.rows;
    }
    state.counters["rows"] = double(rows);
}

// The check of every page that runs at start (on a thread of its own) and before a backup.
// The look-up before every print for the same payment lately: one payee of the 2,000, an
// amount it was paid, within 30 days either side; twice, once for an amount never paid (the whole
// window is read) and once for one that was. Beside it the anchor: the same two look-ups through
// one prepared statement of the plain SQLite library, reading only the columns it compares and
// parsing the amounts itself.
std::optional<qint64> anchorFen(const unsigned char *text)
{
    if (!text)
        return std::nullopt;
    char *end = nullptr;
    const double value = std::strtod(reinterpret_cast<const char *>(text), &end);
    if (end == reinterpret_cast<const char *>(text) || *end)
        return std::nullopt;
    return std::llround(value * 100);
}

double anchorLookups(const QString &path, const QByteArray &payee, const QByteArray &payer, const QByteArray &from,
                     const QByteArray &to, const QList<qint64> &amounts, int rounds)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *q = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT fkrmc, fkje, fkrq, pzlx, pzhm FROM dyb WHERE skrmc = ? AND fkrq BETWEEN ? AND ? "
                       "ORDER BY xh",
                       -1, &q, nullptr);
    const auto start = std::chrono::steady_clock::now();
    int found = 0;
    for (int r = 0; r < rounds; ++r)
        for (const qint64 amount : amounts) {
            sqlite3_bind_text(q, 1, payee.constData(), int(payee.size()), SQLITE_STATIC);
            sqlite3_bind_text(q, 2, from.constData(), int(from.size()), SQLITE_STATIC);
            sqlite3_bind_text(q, 3, to.constData(), int(to.size()), SQLITE_STATIC);
            while (sqlite3_step(q) == SQLITE_ROW) {
                const auto *name = reinterpret_cast<const char *>(sqlite3_column_text(q, 0));
                if (name && payer == name && anchorFen(sqlite3_column_text(q, 1)) == amount) {
                    // What the program tells of the earlier voucher: its date, type and number.
                    for (int c = 2; c < 5; ++c)
                        found += sqlite3_column_bytes(q, c) > 0 && sqlite3_column_text(q, c);
                    break;
                }
            }
            sqlite3_reset(q);
        }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sqlite3_finalize(q);
    sqlite3_close(db);
    benchmark::DoNotOptimize(found);
    return seconds / rounds;
}

void BM_RepeatLookup(benchmark::State &state)
{
    Bench &bench = Bench::get(state.range(0) ? Payees::OnePerRow : Payees::FromAList);
    DataSource some(*bench.connection);
    some.setStatement(statements::history());
    some.refresh();
    some.setCurrentRow(some.recordCount() / 2);
    vouchers::HistoryRow row;
    row.payeeName = some.text(QStringLiteral("skrmc"));
    row.payerName = some.text(QStringLiteral("fkrmc"));
    const QDate date = some.value(QStringLiteral("fkrq")).toDate();
    const QString paid = some.text(QStringLiteral("fkje"));
    bool found = false;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        row.amount = QStringLiteral("1.23");
        benchmark::DoNotOptimize(vouchers::findRepeat(*bench.connection, row, date));
        row.amount = paid;
        found = vouchers::findRepeat(*bench.connection, row, date).has_value();
    }
    const double program =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
    const double anchor = anchorLookups(QDir(bench.dir.path()).filePath(QStringLiteral("sjk.mdb")),
                                        row.payeeName.toUtf8(), row.payerName.toUtf8(),
                                        date.addDays(-vouchers::kRepeatDays).toString(Qt::ISODate).toUtf8(),
                                        date.addDays(vouchers::kRepeatDays).toString(Qt::ISODate).toUtf8(),
                                        {123, *text::parseFen(paid)}, 20000);
    state.counters["found"] = found;
    state.counters["program_us"] = program * 1e6;
    state.counters["anchor_us"] = anchor * 1e6;
    state.counters["ratio"] = program / anchor;
}

void BM_QuickCheck(benchmark::State &state)
{
    Bench &bench = Bench::get();
    const QString path = QDir(bench.dir.path()).filePath(QStringLiteral("sjk.mdb"));
    for (auto _ : state) {
        const QuickCheck check = quickCheck(path);
        if (!check.sound())
            die(check.detail);
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// 100,000 rows on display (a query of 333 days) written to a workbook.
void BM_Export_100k(benchmark::State &state)
{
    Bench &bench = Bench::get();
    DataSource rows(*bench.connection);
    rows.setStatement(statements::historyByPayeeAndDates(QString(), QDate(2015, 1, 1),
                                                         QDate(2015, 1, 1).addDays(100000 / kRowsPerDay - 1)));
    rows.refresh();
    const QString path = bench.dir.filePath(QStringLiteral("export.xlsx"));
    long peakKb = 0;
    qint64 bytes = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        resetPeak();
        const double cpuBefore = processCpuSeconds();
        const long before = statusKb("VmRSS");
        const history::ExportResult r = history::exportWorkbook(rows, history::historyColumns(), path);
        const long peak = statusKb("VmHWM");
        if (!r.ok())
            die(r.error);
        peakKb = std::max(peakKb, peak - before);
        cpuSeconds += processCpuSeconds() - cpuBefore;
        bytes = QFileInfo(path).size();
    }
    state.counters["rows"] = rows.recordCount();
    state.counters["peak_MB"] = double(peakKb) / 1024.0;
    // Both threads together: on a machine shared with other work the wall time says less.
    state.counters["process_cpu_s"] = cpuSeconds / double(state.iterations());
    state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
}

// The export's reading part alone: every value of the 100,000 rows through the data source.
void BM_Export_ReadOnly_100k(benchmark::State &state)
{
    DataSource rows(*Bench::get().connection);
    rows.setStatement(statements::historyByPayeeAndDates(QString(), QDate(2015, 1, 1),
                                                         QDate(2015, 1, 1).addDays(100000 / kRowsPerDay - 1)));
    rows.refresh();
    for (auto _ : state)
        for (int r = 0; r < rows.recordCount(); ++r)
            for (int c = 1; c < rows.columnCount(); ++c)
                benchmark::DoNotOptimize(rows.valueAt(r, c));
}

BENCHMARK(BM_Query_PayeeAndMonth)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Query_OneDayAnyPayee)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query_PayeeAndYear)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Query_PayeeAllYears)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Query_EverythingByDates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->ArgName("search")->DenseRange(0, 5);
BENCHMARK(BM_Order_AllRows)->Unit(benchmark::kMillisecond)->ArgName("column")->DenseRange(0, 3);
BENCHMARK(BM_Totals)->Unit(benchmark::kMillisecond)->ArgName("rows")->DenseRange(0, 3);
BENCHMARK(BM_RepeatLookup)->Unit(benchmark::kMillisecond)->ArgName("onePayeePerRow")->DenseRange(0, 1);
BENCHMARK(BM_QuickCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export_ReadOnly_100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export_100k)->Unit(benchmark::kMillisecond)->Iterations(3);
// Last: building the second history replaces the first.
BENCHMARK(BM_Distinct_PayeeAnd3Months)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Distinct_PayeeAndMonth)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Distinct_OnePayeeAllYears)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Distinct_CommonTextAndMonth)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Distinct_CommonTextAllYears)->Unit(benchmark::kMillisecond)->ArgName("plan")->DenseRange(0, 2);
BENCHMARK(BM_Distinct_OneDayAnyPayee)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Distinct_FirstSearchOfAWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Bench::instance(Payees::FromAList).reset(); // connections close while the application object exists
    Bench::instance(Payees::OnePerRow).reset();
    return 0;
}
