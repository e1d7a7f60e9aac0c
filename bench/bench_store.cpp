// Data store timings: opening and searching the customer table and the print history at the
// sizes a long-used installation reaches.
//   bench_store --benchmark_filter=Customers   (100,000 customers)
//   bench_store --benchmark_filter=Initials    (the initials search beside two plain likes, the
//                                               last of them run by the sqlite3 program)
//   bench_store --benchmark_filter=History     (1,000,000 history rows; slow to set up)

#include "store/appdir.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/statements.h"
#include "text/readings.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

using namespace store;

constexpr int kCustomers = 100000;
constexpr int kHistoryRows = 1000000;

// One database for the whole run, filled on first use of each table.
struct Bench {
    QTemporaryDir dir;
    std::unique_ptr<Connection> connection;
    bool customersFilled = false;
    bool historyFilled = false;

    Bench()
    {
        setAppDir(dir.path());
        const DatabaseStatus status = ensureDatabase();
        if (!status.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(status.errorText));
            std::abort();
        }
        connection = std::make_unique<Connection>();
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

    static QString syllables(std::mt19937 &random, int n, QString *initials)
    {
        static const QString chars = QStringLiteral("华东建材有限公司上海北京天津广州深圳科技贸易"
                                                    "发展实业集团电子工程机械化工物流商贸");
        static const QString letters = QStringLiteral("HDJCYXGSSHBJTJGZSZKJMYFZSYJTDZGCJXHGWLSM");
        QString name;
        for (int i = 0; i < n; ++i) {
            const int k = int(random() % chars.size());
            name += chars.at(k);
            *initials += letters.at(k);
        }
        return name;
    }

    void fillCustomers()
    {
        if (customersFilled)
            return;
        customersFilled = true;
        std::mt19937 random(42);
        DataSource rows(*connection);
        rows.setStatement(statements::customers());
        rows.refresh();
        Transaction t(*connection);
        for (int i = 0; i < kCustomers; ++i) {
            QString initials;
            const QString name = syllables(random, 6 + int(random() % 6), &initials);
            rows.addNew();
            rows.setValue(0, name + QString::number(i));
            rows.setValue(1, QString::number(6222020000000000ULL + random() % 1000000000ULL));
            rows.setValue(2, QStringLiteral("中国工商银行上海分行"));
            rows.setValue(3, QStringLiteral("上海"));
            rows.setValue(4, QStringLiteral("浦东新区"));
            rows.setValue(5, initials + QString::number(i));
            const QString sets = text::readingSets(name + QString::number(i));
            rows.setValue(6, text::commonInitials(sets));
            rows.setValue(7, sets);
            if (!rows.update()) {
                std::fprintf(stderr, "%s\n", qPrintable(rows.errorText()));
                std::abort();
            }
        }
        t.commit();
    }

    void fillHistory()
    {
        if (historyFilled)
            return;
        historyFilled = true;
        std::mt19937 random(7);
        DataSource rows(*connection);
        rows.setStatement(statements::history());
        rows.refresh();
        Transaction t(*connection);
        const QDate first(2010, 1, 1);
        for (int i = 0; i < kHistoryRows; ++i) {
            QString initials;
            const QDate day = first.addDays(i / 300); // about ten years of vouchers
            rows.addNew();
            rows.setValue(1, day);
            rows.setValue(2, day);
            rows.setValue(3, QStringLiteral("支票"));
            rows.setValue(4, QString::number(10000000 + i));
            rows.setValue(5, QString::number(random() % 1000000 / 100.0));
            rows.setValue(6, QStringLiteral("货款"));
            rows.setValue(7, QStringLiteral("北京示例商贸有限公司"));
            rows.setValue(8, QStringLiteral("0200001009014412345"));
            rows.setValue(9, QStringLiteral("中国工商银行北京朝阳支行"));
            rows.setValue(10, syllables(random, 8, &initials));
            rows.setValue(11, QStringLiteral("31001234567890123456"));
            rows.setValue(12, QStringLiteral("中国建设银行上海浦东支行"));
            if (!rows.update()) {
                std::fprintf(stderr, "%s\n", qPrintable(rows.errorText()));
                std::abort();
            }
        }
        t.commit();
    }
};

void refreshLoop(benchmark::State &state, const Statement &statement)
{
    DataSource rows(*Bench::get().connection);
    rows.setStatement(statement);
    for (auto _ : state) {
        rows.refresh();
        // The windows read the current row right after a refresh.
        benchmark::DoNotOptimize(rows.text(0));
    }
    state.counters["rows"] = rows.recordCount();
}

void BM_Customers_RefreshAll(benchmark::State &state)
{
    Bench::get().fillCustomers();
    refreshLoop(state, statements::customers());
}

void BM_Customers_InitialsSearch(benchmark::State &state)
{
    Bench::get().fillCustomers();
    refreshLoop(state, statements::customersInitialsContain(QStringLiteral("hdj")));
}

// The same search, and the cheapest plain SQL that would answer "the initials contain the text"
// from two stored columns, each as one statement run to its last row on the bench's connection.
void rowidLoop(benchmark::State &state, const char *condition, const QVariantList &values)
{
    Bench::get().fillCustomers();
    QSqlQuery q(Bench::get().connection->database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT rowid FROM khb WHERE %1 ORDER BY rowid").arg(QLatin1String(condition)))) {
        state.SkipWithError(qPrintable(q.lastError().text()));
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        for (const QVariant &v : values)
            q.addBindValue(v);
        q.exec();
        rows = 0;
        while (q.next())
            ++rows;
        q.finish();
    }
    state.counters["rows"] = rows;
}

void BM_Initials_Search(benchmark::State &state)
{
    rowidLoop(state, "initials_match(gsmczmjc, gsmcdyjc, gsmcdyzm, ?)", {QStringLiteral("hdj")});
}

void BM_Initials_TwoLikes(benchmark::State &state)
{
    rowidLoop(state, "gsmczmjc LIKE ? OR gsmcdyjc LIKE ?", {QStringLiteral("%hdj%"), QStringLiteral("%hdj%")});
}

// The two likes in the sqlite3 program, on the bench's file, timed by the program itself (.timer):
// the second of two runs, so that its page cache is as warm as the connection's above.
void BM_Initials_TwoLikesInSqlite3(benchmark::State &state)
{
    Bench::get().fillCustomers();
    const QString file = databasePath();
    const QByteArray query = "SELECT count(*) FROM khb WHERE gsmczmjc LIKE '%hdj%' OR gsmcdyjc LIKE '%hdj%';\n";
    const QRegularExpression realTime(QStringLiteral("Run Time: real ([0-9.]+)"));
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), file});
        p.write(".timer on\n" + query + query);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "%s\n", p.readAllStandardError().constData());
            state.SkipWithError("the sqlite3 program did not run");
            break;
        }
        QRegularExpressionMatchIterator it = realTime.globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
        double seconds = -1;
        while (it.hasNext())
            seconds = it.next().captured(1).toDouble();
        if (seconds < 0) {
            state.SkipWithError("the sqlite3 program printed no time");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_Customers_NameSearch(benchmark::State &state)
{
    Bench::get().fillCustomers();
    refreshLoop(state, statements::customersNameContains(QStringLiteral("华东")));
}

void BM_Customers_BeginsWith(benchmark::State &state)
{
    Bench::get().fillCustomers();
    refreshLoop(state, statements::customersBeginningWith(QStringLiteral("上海")));
}

void BM_Customers_DuplicateCheck(benchmark::State &state)
{
    Bench::get().fillCustomers();
    refreshLoop(state, statements::customersNamed(QStringLiteral("不存在的客户")));
}

// A grid scrolled to the middle shows thirty rows of three columns.
void BM_Customers_ReadScreenful(benchmark::State &state)
{
    Bench::get().fillCustomers();
    DataSource rows(*Bench::get().connection);
    rows.setStatement(statements::customers());
    rows.refresh();
    int start = rows.recordCount() / 2;
    for (auto _ : state) {
        for (int r = start; r < start + 30; ++r)
            for (int c = 0; c < 3; ++c)
                benchmark::DoNotOptimize(rows.textAt(r, c));
        start = (start + 997) % (rows.recordCount() - 30); // a cold screenful each time
    }
}

// Bringing a version-1 file with 100,000 customers to the current version, as a start does once.
void BM_Customers_UpgradeFromVersionOne(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.mdb"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        if (const QString e = createDatabase(path, 1); !e.isEmpty()) {
            state.SkipWithError(qPrintable(e));
            break;
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-old"));
            db.setDatabaseName(path);
            db.open();
            db.transaction();
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO khb VALUES (?, '6222', '工行', '上海', '浦东', ?)"));
            std::mt19937 random(42);
            for (int i = 0; i < kCustomers; ++i) {
                QString initials;
                q.addBindValue(Bench::syllables(random, 6 + int(random() % 6), &initials) + QString::number(i));
                q.addBindValue(initials + QString::number(i));
                q.exec();
            }
            q.finish();
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-old"));
        state.ResumeTiming();
        if (const QString e = upgradeDatabase(path); !e.isEmpty()) {
            state.SkipWithError(qPrintable(e));
            break;
        }
    }
}

void BM_History_RefreshAll(benchmark::State &state)
{
    Bench::get().fillHistory();
    refreshLoop(state, statements::history());
}

void BM_History_WideDateRange(benchmark::State &state)
{
    Bench::get().fillHistory();
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2010, 1, 1),
                                                          QDate(2030, 1, 1)));
}

void BM_History_OneDay(benchmark::State &state)
{
    Bench::get().fillHistory();
    refreshLoop(state, statements::historyByPayeeAndDates(QString(), QDate(2012, 6, 1),
                                                          QDate(2012, 6, 1)));
}

void BM_History_PayeeBeginsWith(benchmark::State &state)
{
    Bench::get().fillHistory();
    refreshLoop(state, statements::historyPayeeBeginsWith(QStringLiteral("华东")));
}

BENCHMARK(BM_Customers_RefreshAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Customers_InitialsSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initials_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initials_TwoLikes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initials_TwoLikesInSqlite3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Customers_NameSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Customers_BeginsWith)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Customers_DuplicateCheck)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Customers_ReadScreenful)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Customers_UpgradeFromVersionOne)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_History_RefreshAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History_WideDateRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History_OneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_History_PayeeBeginsWith)->Unit(benchmark::kMillisecond);

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
