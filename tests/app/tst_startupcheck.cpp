// The quick check at start: a damaged database is reported with what to do, a sound one is not,
// and the main window never waits for it.

#include "app/startup.h"
#include "app/startupcheck.h"
#include "rawdatabase.h"
#include "scriptedprompter.h"
#include "store/connection.h"
#include "store/database.h"
#include "storefixture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestStartupCheck : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

    void addCustomers(int count)
    {
        RawDatabase raw(store::databasePath());
        QVERIFY(raw.run("BEGIN"));
        for (int i = 0; i < count; ++i)
            QVERIFY(raw.run(QString("INSERT INTO khb (gsmc, zhh) VALUES ('客户%1', '6222%1')").arg(i)));
        QVERIFY(raw.run("COMMIT"));
    }

private slots:
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        prompter.reset();
        db.reset();
    }

    void aSoundDatabaseSaysNothing()
    {
        addCustomers(500);
        app::StartupCheck check(store::databasePath(), nullptr);
        QSignalSpy finished(&check, &app::StartupCheck::finished);
        QVERIFY(finished.wait(10000));
        QVERIFY(check.result().sound());
        QVERIFY(prompter->prompts.isEmpty());
    }

    // One page of the customer table overwritten with random bytes: the program used to start
    // as if nothing were wrong.
    void aDamagedDatabaseIsReportedWithWhatToDo()
    {
        addCustomers(500);
        QVERIFY(scramblePage(store::databasePath(), rootPage(store::databasePath(), "khb")));
        QVERIFY(store::ensureDatabase().ok); // the tables are all still there

        app::StartupCheck check(store::databasePath(), nullptr);
        QSignalSpy finished(&check, &app::StartupCheck::finished);
        QVERIFY(finished.wait(10000));
        QVERIFY(check.result().damaged());
        QCOMPARE(prompter->prompts.size(), 1);
        const ui::Prompt &p = prompter->prompts.first();
        QVERIFY2(p.text.contains("已损坏") && p.text.contains(store::databasePath()), qPrintable(p.text));
        QVERIFY(p.text.contains("“数据操作”中点“数据恢复”"));
        QCOMPARE(p.title, QStringLiteral("蓝石竞技通"));
        QCOMPARE(p.icon, ui::Icon::Critical);
    }

    // Closing the program while the check still runs neither waits for it nor reports anything.
    void closingDuringTheCheckStopsIt()
    {
        addCustomers(20000);
        {
            app::StartupCheck check(store::databasePath(), nullptr);
        }
        QTest::qWait(50);
        QVERIFY(prompter->prompts.isEmpty());
    }

    // What the start leaves until the main window is on the screen runs once, after its first
    // paint has finished; a window that is never painted (started minimised) still gets it.
    void theRestOfTheStartFollowsTheFirstPaint()
    {
        QLabel shown(QStringLiteral("蓝石竞技通"));
        QStringList order;
        shown.installEventFilter(this);
        m_paints = &order;
        int runs = 0;
        app::whenFirstPainted(&shown, [&] {
            order << QStringLiteral("start");
            ++runs;
        });
        QVERIFY(order.isEmpty()); // not before the window shows
        shown.show();
        QTRY_COMPARE(runs, 1);
        QCOMPARE(order.first(), QStringLiteral("paint"));
        shown.repaint();
        QTest::qWait(600);
        QCOMPARE(runs, 1); // once, however often the window paints
        m_paints = nullptr;

        QLabel hidden;
        QElapsedTimer clock;
        clock.start();
        bool ran = false;
        app::whenFirstPainted(&hidden, [&] { ran = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ran, 2000);
        QVERIFY(clock.elapsed() >= 450);
    }

private:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (m_paints && event->type() == QEvent::Paint)
            *m_paints << QStringLiteral("paint");
        return false;
    }
    QStringList *m_paints = nullptr;
};

QTEST_MAIN(TestStartupCheck)
#include "tst_startupcheck.moc"
