// Print history timings at the size a long-used installation reaches (1,000,000 rows):
// the query by payee and payment dates, and the workbook export of 100,000 rows with the
// memory it takes.
//   bench_history                               (the set-up fills the history once, ~20 s)
//   bench_history --benchmark_filter=Query      (queries only)
// process_cpu_s is the CPU time of both export threads.
// Memory: peak_MB is the highest resident size during the export above the size before it
// (the kernel's peak is reset before each export through /proc/self/clear_refs).

#include "history/columns.h"
#include "history/workbookexport.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/statements.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include <sys/resource.h>

namespace {

using namespace store;

constexpr int kHistoryRows = 1000000;
constexpr int kRowsPerDay = 300; // about nine years of vouchers
const QDate kFirstDay(2010, 1, 1);

[[noreturn]] void die(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

struct Bench {
    QTemporaryDir dir;
    std::unique_ptr<Connection> connection;

    Bench()
    {
        setAppDir(dir.path());
        const DatabaseStatus status = ensureDatabase();
        if (!status.ok)
            die(status.errorText);
        connection = std::make_unique<Connection>();
        fill();
    }

    static std::unique_ptr<Bench> &instance()
    {
        static std::unique_ptr<Bench> bench;
        return bench;
    }
    static Bench &get()
    {
        if (!instance())
            instance() = std::make_unique<Bench>();
        return *instance();
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
            q.addBindValue(QStringLiteral("支票"));
            q.addBindValue(QString::number(10000000 + i));
            q.addBindValue(QString::number(random() % 1000000 / 100.0, 'f', 2));
            q.addBindValue(QStringLiteral("货款"));
            q.addBindValue(QStringLiteral("北京示例商贸有限公司"));
            q.addBindValue(QStringLiteral("0200001009014412345"));
            q.addBindValue(QStringLiteral("中国工商银行北京朝阳支行"));
            q.addBindValue(names.at(int(random() % names.size())));
            q.addBindValue(QStringLiteral("31001234567890123456"));
            q.addBindValue(QStringLiteral("中国建设银行上海浦东支行"));
            if (!q.exec())
                die(q.lastError().text());
        }
        if (!t.commit())
            die(t.errorText());
        // The plans of a narrow and of a whole-history range, for the record.
        for (const char *range : {"'2014-03-01' AND '2014-03-31'", "'2000-01-01' AND '2030-01-01'"}) {
            QSqlQuery plan(db);
            plan.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid FROM dyb WHERE fkrq BETWEEN %1 AND skrmc IN "
                                       "(SELECT skrmc FROM dyb_skrmc WHERE skrmc LIKE '%a%' ESCAPE '\\') ORDER BY rowid").arg(QLatin1String(range)));
            while (plan.next())
                std::fprintf(stderr, "plan %s: %s\n", range, qPrintable(plan.value(3).toString()));
        }
    }
};

void refreshLoop(benchmark::State &state, const Statement &statement)
{
    DataSource rows(*Bench::get().connection);
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
                                                          QDate(2014, 3, 31)));
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
    refreshLoop(state, statements::historyByPayeeAndDates(payee, QDate(2013, 1, 1), QDate(2013, 12, 31)));
}

// One payee over every year: the range covers the whole history.
void BM_Query_PayeeAllYears(benchmark::State &state)
{
    const QString payee = Bench::payees().at(42);
    refreshLoop(state, statements::historyByPayeeAndDates(payee, QDate(2000, 1, 1), QDate(2030, 1, 1)));
}

// Every row through the date query (the widest result there is).
void BM_Query_EverythingByDates(benchmark::State &state)
{
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2000, 1, 1), QDate(2030, 1, 1)));
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

BENCHMARK(BM_Query_PayeeAndMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query_OneDayAnyPayee)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query_PayeeAndYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query_PayeeAllYears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query_EverythingByDates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export_ReadOnly_100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Export_100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Bench::instance().reset(); // connections close while the application object exists
    return 0;
}
