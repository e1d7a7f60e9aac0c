// Crash consistency of the program's own writes: an import of 10,000 customers, a backup, a
// restore and a run of customer saves, each killed with SIGKILL at random moments in a child
// process, followed by the next start. Every time the database must pass SQLite's integrity
// check, an import must be all or nothing, the user's backup either its old bytes or a complete
// copy, the live file either the old or the new database, and no temporary file of ours may be
// left once the next start (or the next run of the same operation) has been.

#include "rawdatabase.h"
#include "store/appdir.h"
#include "store/database.h"
#include "xlsbuilder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <thread>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "crash_test";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};
::testing::Environment *const qtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

constexpr int kKills = 12;        // runs cut off while the write runs, per operation
constexpr int kMaxAttempts = 200; // a bound that only a machine far too slow for the test reaches

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "absent";
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result();
}

// What a database holds, in a form cheap to compare: every customer, the history's size.
QString fingerprint(const QString &path)
{
    return sqlite3(path, "SELECT (SELECT count(*) FROM khb), (SELECT group_concat(gsmc, ',') FROM "
                         "(SELECT gsmc FROM khb ORDER BY rowid)), (SELECT count(*) FROM dyb), (SELECT max(xh) FROM dyb)");
}

class CrashTest : public ::testing::Test {
protected:
    QTemporaryDir app;       // the program folder
    QTemporaryDir elsewhere; // where the user keeps backups
    std::mt19937 random{20261209};

    void SetUp() override
    {
        ASSERT_TRUE(app.isValid() && elsewhere.isValid());
        store::setAppDir(app.path());
        ASSERT_TRUE(store::ensureDatabase().ok);
        store::setAppDir(QString());
        // A history of some size, so that a backup or restore takes long enough to be cut.
        RawDatabase raw(live());
        ASSERT_TRUE(raw.run("BEGIN"));
        for (int i = 0; i < 20000; ++i)
            ASSERT_TRUE(raw.run(QString("INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, skrmc) VALUES "
                                        "('2024-01-01', '2024-01-02', '支票', '%1', '12.50', '收款人%2')")
                                    .arg(i)
                                    .arg(i % 500)));
        ASSERT_TRUE(raw.run("COMMIT"));
    }

    QString live() const { return app.filePath("sjk.mdb"); }

    struct Run {
        bool killed = false;
        bool cut = false;  // killed before the write had finished
        bool ok = false;   // finished and said so
        qint64 micros = 0; // from "go" to "done" (or to the kill)
        QString output;
    };

    // Runs the child; with killAfter >= 0 it is killed that many microseconds after "go".
    Run run(const QStringList &args, qint64 killAfter = -1)
    {
        Run r;
        QProcess child;
        child.start(CRASH_CHILD, args);
        if (!child.waitForStarted(10000)) {
            r.output = "did not start";
            return r;
        }
        QByteArray out;
        while (!out.contains("go\n") && child.waitForReadyRead(30000))
            out += child.readAllStandardOutput();
        QElapsedTimer clock;
        clock.start();
        if (killAfter >= 0 && out.contains("go\n")) {
            std::this_thread::sleep_for(std::chrono::microseconds(killAfter));
            ::kill(pid_t(child.processId()), SIGKILL);
        } else {
            // Timed to its "done", not to the end of the process.
            while (!out.contains("done\n") && child.state() != QProcess::NotRunning && child.waitForReadyRead(60000))
                out += child.readAllStandardOutput();
            r.micros = clock.nsecsElapsed() / 1000;
        }
        child.waitForFinished(60000);
        if (killAfter >= 0)
            r.micros = clock.nsecsElapsed() / 1000;
        out += child.readAllStandardOutput();
        r.output = QString::fromUtf8(out + child.readAllStandardError());
        r.killed = child.exitStatus() == QProcess::CrashExit;
        // What counts is a kill while the write ran: one after its "done" cut nothing.
        r.cut = r.killed && !out.contains("done\n");
        r.ok = !r.killed && child.exitCode() == 0 && out.contains("done\n");
        return r;
    }

    // The next start of the program; then the database must be whole.
    void nextStart()
    {
        const Run r = run({"start", app.path()});
        ASSERT_EQ(r.output, "") << r.output.toStdString();
        ASSERT_EQ(sqlite3(live(), "PRAGMA integrity_check"), "ok");
    }

    // Nothing in the folder but the files allowed. SQLite leaves the journal of a write killed
    // before the journal was complete (and so before the file changed): without its header it is
    // never played back, and the next write replaces it. A journal with its header (one that
    // would be played back) must be gone after the next start.
    void onlyOurFilesIn(const QString &folder, const QStringList &allowed)
    {
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            QFile f(QDir(folder).filePath(name));
            bool ok = name == "sjk.mdb-journal" && f.open(QIODevice::ReadOnly)
                && f.read(8) != QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
            for (const QString &pattern : allowed)
                ok = ok || QRegularExpression(pattern).match(name).hasMatch();
            EXPECT_TRUE(ok) << name.toStdString() << " left in " << folder.toStdString();
        }
    }

    // Kills the operation at random moments until kKills runs were cut while it worked.
    // prepare() readies a run and gives the child's arguments; after(run) checks the result once
    // the next start has been. The moments are drawn from the time the write takes now: a run
    // that finished before its kill took less than that moment, and the next moments are drawn
    // below it, so a machine whose speed changes only makes more runs, never fewer cuts.
    void killRepeatedly(const std::function<QStringList()> &prepare, const std::function<void(const Run &)> &after)
    {
        const Run whole = run(prepare());
        ASSERT_TRUE(whole.ok) << whole.output.toStdString();
        after(whole);
        qint64 span = std::max<qint64>(whole.micros, 1000);
        int cuts = 0, attempts = 0;
        while (cuts < kKills && attempts++ < kMaxAttempts && !HasFatalFailure()) {
            const QStringList args = prepare();
            const qint64 moment = qint64(random() % quint64(span));
            const Run r = run(args, moment);
            ASSERT_TRUE(r.killed || r.ok) << r.output.toStdString();
            cuts += r.cut ? 1 : 0;
            if (!r.cut)
                span = std::max<qint64>(moment, 1000); // it outran the kill: the write is quicker now
            nextStart();
            if (HasFatalFailure())
                return;
            after(r);
        }
        EXPECT_GE(cuts, kKills) << "the operation outran " << attempts << " kills: " << span << " µs";
    }

    int count(const QString &where) { return sqlite3(live(), "SELECT count(*) FROM khb WHERE " + where).toInt(); }
};

TEST_F(CrashTest, AnImportIsAllOrNothing)
{
    QVector<xlstest::Row> rows;
    for (int i = 0; i < 10000; ++i)
        rows.append(xlstest::Row{QStringLiteral("导入客户%1").arg(i), QStringLiteral("6222%1").arg(i),
                                 QStringLiteral("工商银行"), QStringLiteral("北京"), QStringLiteral("海淀")});
    ASSERT_TRUE(xlstest::writeFile(app.filePath("khb.xls"), xlstest::customerWorkbook(rows)));
    int imported = 0;
    killRepeatedly([&] { return QStringList{"import", app.path()}; },
                   [&](const Run &r) {
                       const int now = count("gsmc LIKE '导入客户%'");
                       EXPECT_TRUE(now == imported || now == imported + 10000) << now << " after " << imported;
                       if (r.ok) {
                           EXPECT_EQ(now, imported + 10000);
                       }
                       imported = now;
                       onlyOurFilesIn(app.path(), {"^sjk\\.mdb$", "^khb\\.xls$"});
                   });
}

TEST_F(CrashTest, ABackupIsTheOldFileOrAWholeCopy)
{
    const QString target = elsewhere.filePath("sjk-备份.mdb");
    ASSERT_TRUE(run({"backup", app.path(), target}).ok);
    int changes = 0;
    QByteArray before;
    QString liveNow;
    killRepeatedly(
        [&] {
            // The database moves on after every backup, so that old and new differ.
            RawDatabase(live()).run(QString("INSERT INTO khb (gsmc) VALUES ('新客户%1')").arg(++changes));
            before = hashOf(target);
            liveNow = fingerprint(live());
            return QStringList{"backup", app.path(), target};
        },
        [&](const Run &r) {
            EXPECT_EQ(fingerprint(live()), liveNow); // a backup never changes the database
            if (hashOf(target) != before) {
                EXPECT_EQ(sqlite3(target, "PRAGMA integrity_check"), "ok");
                EXPECT_EQ(fingerprint(target), liveNow);
            } else {
                EXPECT_FALSE(r.ok);
            }
            onlyOurFilesIn(app.path(), {"^sjk\\.mdb$"});
        });
    // What the cut-off backups left beside the target goes with the next backup to it.
    ASSERT_TRUE(run({"backup", app.path(), target}).ok);
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"sjk-备份.mdb"});
}

TEST_F(CrashTest, ARestoreLeavesTheOldOrTheNewDatabase)
{
    const QString backup = elsewhere.filePath("备份.mdb");
    RawDatabase(live()).run("INSERT INTO khb (gsmc) VALUES ('恢复标记')");
    ASSERT_TRUE(run({"backup", app.path(), backup}).ok);
    const QString restored = fingerprint(backup);
    int changes = 0;
    QString old;
    killRepeatedly(
        [&] {
            RawDatabase(live()).run(QString("INSERT INTO khb (gsmc) VALUES ('恢复前%1')").arg(++changes));
            old = fingerprint(live());
            return QStringList{"restore", app.path(), backup};
        },
        [&](const Run &r) {
            const QString now = fingerprint(live());
            EXPECT_TRUE(now == old || now == restored) << now.left(80).toStdString();
            if (r.ok) {
                EXPECT_EQ(now, restored);
            }
            EXPECT_EQ(fingerprint(backup), restored); // the chosen file is only read
            onlyOurFilesIn(app.path(), {"^sjk\\.mdb$", "^sjk-恢复前-[0-9-]+\\.mdb$"});
        });
    // Every safety copy under its own name is whole.
    for (const QString &name : QDir(app.path()).entryList({"sjk-恢复前-*.mdb"}, QDir::Files))
        EXPECT_EQ(sqlite3(app.filePath(name), "PRAGMA integrity_check"), "ok") << name.toStdString();
}

TEST_F(CrashTest, SavedCustomersAreWholeRowsInOrder)
{
    // Each run goes on with the numbering where the rows on file end.
    int saved = 0;
    killRepeatedly([&] { return QStringList{"saves", app.path(), QString::number(saved), "100"}; },
                   [&](const Run &r) {
                       const QStringList rows =
                           sqlite3(live(), "SELECT gsmc, zhh, khh, sheng, shi, gsmczmjc FROM khb "
                                           "WHERE gsmc LIKE '保存%' ORDER BY rowid")
                               .split('\n', Qt::SkipEmptyParts);
                       for (int i = 0; i < rows.size(); ++i)
                           ASSERT_EQ(rows.at(i), QString("保存%1|账号%1|开户行%1|省%1|市%1|BC%1").arg(i)) << i;
                       EXPECT_GE(rows.size(), saved);
                       if (r.ok) {
                           EXPECT_EQ(rows.size(), saved + 100);
                       }
                       saved = int(rows.size());
                       onlyOurFilesIn(app.path(), {"^sjk\\.mdb$"});
                   });
}

} // namespace
