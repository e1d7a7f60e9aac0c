// lanshi print killed with SIGKILL at random moments, to a PDF file and to a real printer queue,
// each kill followed by the next start. After it the history must say exactly which cheques went
// out: a PDF file complete with all its rows or no file and no row; on a queue, rows for the cheques
// of the jobs the queue took and printed (counted by the queue itself and by the pages it wrote),
// no more and no fewer.

#include "../printing/pdftools.h"
#include "rawdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "printkills";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};
::testing::Environment *const qtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

constexpr int kCheques = 40;  // per run
constexpr int kKills = 10;    // runs cut off while the program ran
constexpr int kAttempts = 30; // runs at most
const char *const kQueue = "PDF-kill"; // scripts/printer.sh: a PDF queue whose files carry the job number

class PrintKills : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir files;
    std::mt19937 random{20261209};

    void SetUp() override
    {
        ASSERT_TRUE(data.isValid() && files.isValid());
        QFile list(files.filePath("list.csv"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("收款人,账号,开户行,金额,日期,用途,支票号码\n");
        for (int i = 1; i <= kCheques; ++i)
            list.write(QStringLiteral("测试收款人%1,6222%1,建设银行,%2.50,2026-12-01,货款,%3\n")
                           .arg(i)
                           .arg(100 + i)
                           .arg(10203000 + i)
                           .toUtf8());
        list.close();
        QFile empty(files.filePath("empty.csv"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        empty.write("收款人,金额,日期,用途,支票号码\n");
    }

    struct Run {
        bool killed = false;
        int status = -1;
        qint64 micros = 0;
        QString output;
    };

    // lanshi on the test's data folder; killAfter >= 0: SIGKILL that many microseconds after start.
    // asUser: started under that user id (a root test cannot see a file's mode otherwise).
    Run lanshi(const QStringList &args, qint64 killAfter = -1, int asUser = -1, const QString &folder = {})
    {
        Run r;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        const QStringList all = QStringList{"--data-dir", folder.isEmpty() ? data.path() : folder} + args;
        if (asUser >= 0)
            p.start("setpriv", QStringList{QStringLiteral("--reuid=%1").arg(asUser), QStringLiteral("--regid=%1").arg(asUser),
                                           "--clear-groups", LANSHI_BINARY} + all);
        else
            p.start(LANSHI_BINARY, all);
        if (!p.waitForStarted(10000))
            return r;
        if (killAfter >= 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(killAfter - clock.nsecsElapsed() / 1000));
            ::kill(pid_t(p.processId()), SIGKILL);
        }
        p.waitForFinished(120000);
        r.micros = clock.nsecsElapsed() / 1000;
        r.killed = p.exitStatus() == QProcess::CrashExit;
        r.status = p.exitCode();
        r.output = QString::fromUtf8(p.readAll());
        return r;
    }

    QStringList print(const QStringList &to)
    {
        return QStringList{"print", "支票", "--data", files.filePath("list.csv"), "--allow-repeat"} + to;
    }

    // The next start: the command line settles what was cut off before it reads its list (empty here).
    QString nextStart()
    {
        const Run r = lanshi({"print", "支票", "--data", files.filePath("empty.csv"), "--pdf", files.filePath("none.pdf")});
        EXPECT_FALSE(r.killed);
        EXPECT_EQ(r.status, 1) << r.output.toStdString(); // nothing to print
        return r.output;
    }

    int rows() { return sqlite3(data.filePath("sjk.mdb"), "SELECT count(*) FROM dyb").toInt(); }
    int waiting() { return sqlite3(data.filePath("sjk.mdb"), "SELECT count(*) FROM dyb_jobs").toInt(); }
    qint64 killMoment(qint64 span) { return qint64(random() % quint64(span + span / 5)); }
};

TEST_F(PrintKills, APdfFileComesWithAllItsRowsOrNeitherDoes)
{
    if (!pdftools::available())
        GTEST_SKIP() << "poppler tools not installed";
    const Run whole = lanshi(print({"--pdf", files.filePath("whole.pdf")}));
    ASSERT_EQ(whole.status, 0) << whole.output.toStdString();
    ASSERT_EQ(rows(), kCheques);
    ASSERT_EQ(pdftools::pageCount(files.filePath("whole.pdf")), kCheques);
    // The kill moments span a warm run, as the later ones are: the first start pays for cold
    // caches, and moments drawn from it would mostly fall after a warm run has ended.
    const Run warm = lanshi(print({"--pdf", files.filePath("warm.pdf")}));
    ASSERT_EQ(warm.status, 0) << warm.output.toStdString();
    const qint64 span = std::min(whole.micros, warm.micros);
    int recorded = rows();
    ASSERT_EQ(recorded, 2 * kCheques);
    int kills = 0, late = 0; // late: killed once the file and its rows were made
    for (int attempt = 0; attempt < kAttempts && kills < kKills && !HasFailure(); ++attempt) {
        const QString out = files.filePath(QStringLiteral("out-%1.pdf").arg(attempt));
        const QString partial = files.filePath(QStringLiteral(".out-%1.pdf.part").arg(attempt));
        const Run r = lanshi(print({"--pdf", out}), killMoment(span));
        kills += r.killed;
        ASSERT_TRUE(r.killed || r.status == 0) << r.output.toStdString();
        // At once: the file and its rows, or neither; in the instant between the rows' commit and
        // the rename, the complete file waits beside its place.
        const int now = rows();
        if (QFile::exists(out)) {
            EXPECT_EQ(now, recorded + kCheques);
            EXPECT_EQ(pdftools::pageCount(out), kCheques);
        } else if (now != recorded) {
            EXPECT_EQ(now, recorded + kCheques);
            EXPECT_EQ(pdftools::pageCount(partial), kCheques);
        }
        late += r.killed && now != recorded;
        nextStart();
        const bool there = QFile::exists(out);
        EXPECT_EQ(rows(), recorded + (there ? kCheques : 0)) << attempt << (r.killed ? " killed" : " whole");
        if (there) {
            EXPECT_EQ(pdftools::pageCount(out), kCheques);
        }
        EXPECT_EQ(waiting(), 0);
        recorded = rows();
    }
    EXPECT_GE(kills, kKills);
    std::printf("%d kills in %lld µs runs, %d after the rows were written\n", kills, span, late);
}

// The jobs of the test queue as CUPS keeps them: number and state.
QHash<int, int> queueJobs()
{
    cups_job_t *jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kQueue, 0, CUPS_WHICHJOBS_ALL);
    QHash<int, int> out;
    for (int i = 0; i < n; ++i)
        out.insert(jobs[i].id, jobs[i].state);
    cupsFreeJobs(n, jobs);
    return out;
}

TEST_F(PrintKills, APrinterQueueRecordsExactlyTheJobsItTook)
{
    if (!pdftools::available() || !pdftools::isPdfQueue(QString::fromLatin1(kQueue)))
        GTEST_SKIP() << "no PDF queue " << kQueue << " (as root: bash scripts/printer.sh)";
    const QString output = pdftools::pdfPrinterOutput();
    const QSet<int> before = QSet<int>(queueJobs().keyBegin(), queueJobs().keyEnd());
    // Pages the queue wrote for the jobs it took: its files are named job_<number>-<title>.pdf.
    const auto pagesOf = [&](int job) {
        const QStringList found = QDir(output).entryList({QStringLiteral("job_%1-*.pdf").arg(job)}, QDir::Files);
        return found.isEmpty() ? -1 : pdftools::pageCount(QDir(output).filePath(found.first()));
    };
    // Waits until the queue has finished everything it took; a job held because its document never
    // came whole does not count as taken.
    const auto settledQueue = [&] {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            bool busy = false;
            for (auto [job, state] : queueJobs().asKeyValueRange())
                busy = busy
                    || (!before.contains(job) && (state == IPP_JSTATE_PENDING || state == IPP_JSTATE_PROCESSING));
            if (!busy || waited.elapsed() > 120000)
                return;
            QThread::msleep(100);
        }
    };
    const auto takenPages = [&] {
        int pages = 0;
        for (auto [job, state] : queueJobs().asKeyValueRange())
            if (!before.contains(job) && state == IPP_JSTATE_COMPLETED) {
                int p = -1;
                for (int tries = 0; tries < 100 && (p = pagesOf(job)) < 0; ++tries)
                    QThread::msleep(50); // the backend writes the file as the job completes
                pages += qMax(p, 0);
            }
        return pages;
    };

    const Run whole = lanshi(print({"--printer", kQueue}));
    ASSERT_EQ(whole.status, 0) << whole.output.toStdString();
    settledQueue();
    ASSERT_EQ(rows(), kCheques);
    ASSERT_EQ(takenPages(), kCheques);
    // late: the queue had the job when the program died; settledBy: the next start dropped a job it never had
    int kills = 0, late = 0, settledBy = 0;
    for (int attempt = 0; attempt < kAttempts && kills < kKills && !HasFailure(); ++attempt) {
        const Run r = lanshi(print({"--printer", kQueue}), killMoment(whole.micros));
        kills += r.killed;
        ASSERT_TRUE(r.killed || r.status == 0) << r.output.toStdString();
        const int recordedBefore = rows();
        const QString told = nextStart();
        late += r.killed && told.contains(QStringLiteral("已记入打印查询"));
        settledBy += r.killed && rows() == recordedBefore && told.contains(QStringLiteral("上次"));
        settledQueue();
        EXPECT_EQ(waiting(), 0) << told.toStdString();
        EXPECT_EQ(rows(), takenPages()) << attempt << (r.killed ? " killed: " : " whole: ") << told.toStdString();
        EXPECT_EQ(rows() % kCheques, 0);
    }
    EXPECT_GE(kills, kKills);
    std::printf("%d kills in %lld µs runs; the next start recorded %d jobs the queue had taken, dropped %d\n",
                kills, whole.micros, late, settledBy);
    // What a cut-off hand-over left held at the queue never prints; it goes with the test.
    for (auto [job, state] : queueJobs().asKeyValueRange())
        if (!before.contains(job) && state == IPP_JSTATE_HELD)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, kQueue, job, 0);
}

// A history that cannot be written: the command line says so on its standard error, prints
// nothing, writes no file, ends at once with status 2 and leaves the data folder free.
TEST_F(PrintKills, AHistoryThatCannotBeWrittenEndsAtOnceWithStatusTwo)
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "needs root (to run as another user and to mount a small disk)";
    const QString db = data.filePath("sjk.mdb");
    ASSERT_EQ(lanshi({"print", "支票", "--data", files.filePath("empty.csv"), "--pdf", files.filePath("x.pdf")}).status, 1);
    const int nobody = 65534;
    for (const QString &dir : {data.path(), files.path()})
        QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
    QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

    struct Case {
        const char *name;
        QString folder;
        QStringList to;
        int user;
        QString cause;
    };
    // A disk with room for the database and its lock, not for a transaction's journal.
    QTemporaryDir mountPoint;
    QFile::setPermissions(mountPoint.path(), QFileDevice::Permissions(0x7777));
    const bool mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", mountPoint.path()}) == 0;
    if (mounted) {
        QFile::copy(db, mountPoint.filePath("sjk.mdb"));
        QFile::setPermissions(mountPoint.filePath("sjk.mdb"), QFileDevice::Permissions(0x6644));
        QFile fill(mountPoint.filePath("fill"));
        fill.open(QIODevice::WriteOnly);
        fill.write(QByteArray(256 * 1024 - QFileInfo(db).size() - 20 * 1024, '\0'));
    }
    const QList<Case> cases = {
        {"read-only database, to a PDF", data.path(), {"--pdf", files.filePath("ro.pdf")}, nobody, "没有写入权限"},
        {"read-only database, to a queue", data.path(), {"--printer", "PDF"}, nobody, "没有写入权限"},
        {"full disk, to a PDF", mountPoint.path(), {"--pdf", files.filePath("full.pdf")}, -1, "磁盘已满"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.folder == mountPoint.path() && !mounted)
            continue;
        const Run r = lanshi(print(c.to), -1, c.user, c.folder);
        EXPECT_FALSE(r.killed);
        EXPECT_EQ(r.status, 2) << r.output.toStdString();
        EXPECT_LT(r.micros, 10'000'000);
        EXPECT_TRUE(r.output.contains(c.cause)) << r.output.toStdString();
        EXPECT_TRUE(r.output.contains(QStringLiteral("没有"))) << r.output.toStdString();
        EXPECT_FALSE(QFile::exists(files.filePath("ro.pdf")) || QFile::exists(files.filePath("full.pdf")));
        EXPECT_FALSE(QFile::exists(QDir(c.folder).filePath("lanshi.lock")));
        EXPECT_EQ(sqlite3(QDir(c.folder).filePath("sjk.mdb"), "SELECT count(*) FROM dyb"), "0");
    }
    if (mounted)
        QProcess::execute("umount", {mountPoint.path()});
}

} // namespace
