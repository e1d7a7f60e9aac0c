// A print cut off between its hand-over and its record, settled at the next start: what the queue
// took is recorded, what it never got whole is cancelled and dropped, a PDF complete beside its
// place is put there, and the clerk is told each time.

#include "windowtest.h"
#include "fakespooler.h"
#include "rawdatabase.h"
#include "storefixture.h"
#include "store/connection.h"
#include "store/database.h"
#include "vouchers/history.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vouchers;

namespace {

QList<HistoryRow> cheques(int n)
{
    QList<HistoryRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.append({QDate(2026, 12, 9), "2026/12/8", "支票", QString::number(10203040 + i), "1200.50", "货款",
                     "北京示例商贸有限公司", "0200", "工行", QStringLiteral("收款人%1").arg(i), "3100", "建行"});
    return rows;
}

QString sql(const QString &query) { return sqlite3(store::databasePath(), query); }

// A print killed right after the step given: the hand-over was written down, nothing after it ran.
void cutOffAfterPrepare(store::Connection &connection, const printing::HandOver &h, int vouchers)
{
    const printing::Issued issued = recordOf(connection, cheques(vouchers));
    QString error;
    QVERIFY2(issued.prepare(h, &error), qPrintable(error));
}

printing::HandOver toQueue(int job)
{
    printing::HandOver h;
    h.target = printing::HandOver::Target::Printer;
    h.printer = QStringLiteral("PDF");
    h.job = job;
    h.title = QStringLiteral("批量打印-支票");
    return h;
}

} // namespace

class TestInterruptedPrints : public WindowTest {
    Q_OBJECT

private slots:

    void aJobCutOffAtTheQueueIsSettledByWhatTheQueueSays_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("answer"); // the clerk's, when asked: 0 none, 1 printed, 2 not
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("waiting");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("told");
        using S = printing::Spooler::JobState;
        QTest::newRow("taken") << int(S::Taken) << 0 << 3 << 0 << QStringList{"state 7"} << "已记入打印查询";
        QTest::newRow("never arrived whole") << int(S::Interrupted) << 0 << 0 << 0
                                             << QStringList{"state 7", "cancel 7"} << "没有打印";
        QTest::newRow("cancelled at the queue") << int(S::Cancelled) << 0 << 0 << 0 << QStringList{"state 7"}
                                                << "已在打印机上被取消";
        QTest::newRow("unknown, nobody to ask") << int(S::Unknown) << 0 << 0 << 1 << QStringList{"state 7"}
                                                << "请在程序窗口中确认";
        QTest::newRow("unknown, printed") << int(S::Unknown) << 1 << 3 << 0 << QStringList{"state 7"} << "";
        QTest::newRow("unknown, not printed") << int(S::Unknown) << 2 << 0 << 0 << QStringList{"state 7"} << "";
    }
    void aJobCutOffAtTheQueueIsSettledByWhatTheQueueSays()
    {
        QFETCH(int, state);
        QFETCH(int, answer);
        QFETCH(int, rows);
        QFETCH(int, waiting);
        QFETCH(QStringList, calls);
        QFETCH(QString, told);
        store::Connection connection;
        cutOffAfterPrepare(connection, toQueue(7), 3);
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QStringLiteral("0")); // written down, not recorded
        QCOMPARE(sql("SELECT count(*) FROM dyb_jobs"), QStringLiteral("1"));

        FakeSpooler queue;
        queue.state = printing::Spooler::JobState(state);
        QString asked;
        PrintedOrNot decide;
        if (answer)
            decide = [&](const QString &question) {
                asked = question;
                return answer == 1;
            };
        const QStringList said = settleInterruptedPrints(connection, decide);
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QString::number(rows));
        QCOMPARE(sql("SELECT count(*) FROM dyb_jobs"), QString::number(waiting));
        QCOMPARE(queue.calls, calls);
        if (answer) {
            QVERIFY(said.isEmpty());
            QVERIFY(asked.startsWith(QStringLiteral("上次批量打印被中断：第1张起未确认是否打印")));
            QVERIFY2(asked.contains(QStringLiteral("10203043")) && asked.contains(QStringLiteral("收款人3")),
                     qPrintable(asked)); // the clerk sees which vouchers
        } else {
            QCOMPARE(said.size(), 1);
            QVERIFY2(said[0].startsWith(QStringLiteral("上次批量打印被中断：第1张起未确认是否打印")), qPrintable(said[0]));
            QVERIFY2(said[0].contains(told), qPrintable(said[0]));
        }
        if (rows)
            QCOMPARE(sql("SELECT group_concat(pzhm || ' ' || fkrq || ' ' || skrmc, '|') FROM dyb"),
                     QStringLiteral("10203041 2026-12-08 收款人1|10203042 2026-12-08 收款人2|10203043 2026-12-08 收款人3"));
        // Settled once: a second start has nothing to say (but what still waits for the clerk).
        const QStringList again = settleInterruptedPrints(connection, decide);
        QCOMPARE(again.size(), waiting);
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QString::number(rows));
    }

    void aPdfCutOffBeforeItsPlaceIsPutThere()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("批量支票.pdf"));
        const QString partial = dir.filePath(QStringLiteral(".批量支票.pdf.part"));
        {
            QFile f(partial);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("%PDF-1.4 whole");
        }
        store::Connection connection;
        printing::HandOver h;
        h.target = printing::HandOver::Target::PdfFile;
        h.path = path;
        h.partial = partial;
        h.title = QStringLiteral("批量打印");
        cutOffAfterPrepare(connection, h, 2);
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QStringLiteral("2")); // the rows came with the file

        const QStringList said = settleInterruptedPrints(connection);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(QStringLiteral("已补全")), qPrintable(said[0]));
        QVERIFY(!QFile::exists(partial));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("%PDF-1.4 whole"));
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QStringLiteral("2"));
        QCOMPARE(sql("SELECT count(*) FROM dyb_jobs"), QStringLiteral("0"));

        // Cut off after the rename: only the note was left, and it goes without a word.
        cutOffAfterPrepare(connection, h, 1);
        QVERIFY(settleInterruptedPrints(connection).isEmpty());
        QCOMPARE(sql("SELECT count(*) FROM dyb_jobs"), QStringLiteral("0"));
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QStringLiteral("3"));
    }

    // A PDF that cannot be put in place takes its rows out again; a queue that fails to take the
    // job leaves nothing waiting.
    void aHandOverThatFailsLeavesNoRowAndNoNote()
    {
        store::Connection connection;
        QString error;
        printing::HandOver pdf;
        pdf.target = printing::HandOver::Target::PdfFile;
        pdf.path = QStringLiteral("/x.pdf");
        pdf.partial = QStringLiteral("/.x.pdf.part");
        const printing::Issued file = recordOf(connection, cheques(2));
        QVERIFY(file.prepare(pdf, &error));
        QVERIFY(file.finish(false, &error));
        const printing::Issued job = recordOf(connection, cheques(2));
        QVERIFY(job.prepare(toQueue(3), &error));
        QVERIFY(job.finish(false, &error));
        QCOMPARE(sql("SELECT count(*) FROM dyb"), QStringLiteral("0"));
        QCOMPARE(sql("SELECT count(*) FROM dyb_jobs"), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestInterruptedPrints)
#include "tst_interrupted.moc"
