// Before a voucher prints: the same payment printed lately is asked about, and a text too long for
// its place even at the smallest size is named. 否 prints nothing and writes no row.

#include "windowtest.h"
#include "../printing/fakeprinter.h"
#include "fakespooler.h"
#include "rawdatabase.h"
#include "store/database.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "printing/printerchoice.h"
#include "vouchers/chequewindow.h"

#include <QComboBox>
#include <QPrinterInfo>

#include <QDateEdit>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::history;

namespace {

// A cheque to the first customer for 1000.50, dated 14 April 2010.
void fill(ChequeWindow *w)
{
    type(edit(w, "Text21"), QStringLiteral("20100414"));
    w->findChild<QDateEdit *>(QStringLiteral("DTPicker1"))->setDate(QDate(2010, 4, 14));
    click(w, "Command1");
    type(edit(w, "Text8"), QStringLiteral("1000.50"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

// An earlier voucher in the history, by column position.
bool earlier(const QDate &date, const QString &amount, const QString &payer = kOwnName,
             const QString &payee = kCustomer, const QString &type = QStringLiteral("汇款凭证"))
{
    return StoreFixture::append(history(), {QVariant(), QDate(2010, 1, 1), date, type, QStringLiteral("HK-7"), amount,
                                            QStringLiteral("货款"), payer, kOwnAccount, kOwnBank, payee,
                                            kCustomerAccount, kCustomerBank});
}

} // namespace

class TestPrintSafety : public WindowTest {
    Q_OBJECT

    std::unique_ptr<Harness<ChequeWindow>> h;

private slots:
    void init()
    {
        WindowTest::init();
        h = std::make_unique<Harness<ChequeWindow>>();
    }
    void cleanup()
    {
        h.reset();
        WindowTest::cleanup();
    }

    void samePaymentWithinThirtyDaysIsAsked_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("payer");
        QTest::addColumn<QString>("payee");
        QTest::addColumn<bool>("asked");
        const QDate d(2010, 4, 14);
        QTest::newRow("same day") << d << "1000.50" << kOwnName << kCustomer << true;
        QTest::newRow("30 days before, written otherwise") << d.addDays(-30) << "1000.5" << kOwnName << kCustomer << true;
        QTest::newRow("30 days after") << d.addDays(30) << "１０００.５０" << kOwnName << kCustomer << true;
        QTest::newRow("31 days before") << d.addDays(-31) << "1000.50" << kOwnName << kCustomer << false;
        QTest::newRow("31 days after") << d.addDays(31) << "1000.50" << kOwnName << kCustomer << false;
        QTest::newRow("another amount") << d << "1000.51" << kOwnName << kCustomer << false;
        QTest::newRow("another payee") << d << "1000.50" << kOwnName << "上海华东建材有限公司分公司" << false;
        QTest::newRow("another payer") << d << "1000.50" << "另一家公司" << kCustomer << false;
    }
    void samePaymentWithinThirtyDaysIsAsked()
    {
        QFETCH(QDate, date);
        QFETCH(QString, amount);
        QFETCH(QString, payer);
        QFETCH(QString, payee);
        QFETCH(bool, asked);
        QVERIFY(earlier(date, amount, payer, payee));
        ChequeWindow *w = h->open();
        fill(w);
        click(w, "Command9"); // unanswered: the default, 否
        if (!asked) {
            QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
            QCOMPARE(h->prints, 1);
            return;
        }
        QCOMPARE(prompter->texts(), QStringList{QStringLiteral("30天内已向%1打印过相同金额的汇款凭证（%2，HK-7），仍然打印吗？")
                                                    .arg(kCustomer, date.toString(Qt::ISODate))});
        QCOMPARE(prompter->prompts.first().defaultButton, ui::No);
        QCOMPARE(h->prints, 0);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"HK-7"}); // no new row
        prompter->answer(ui::Yes);
        click(w, "Command9");
        QCOMPARE(h->prints, 1);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), (QStringList{"HK-7", "20100414"}));
    }

    // Of two earlier payments the question names the one printed first, whatever their dates;
    // a payment whose payer was never stored is the empty payer's, not another's.
    void theFirstPrintedOfTwoIsNamed()
    {
        const QDate d(2010, 4, 14);
        QVERIFY(earlier(d.addDays(-5), "1000.50", kOwnName, kCustomer, QStringLiteral("支票")));
        QVERIFY(earlier(d.addDays(-20), "1000.50", kOwnName, kCustomer, QStringLiteral("进账单")));
        QVERIFY(earlier(d, "1000.50", QString(), kCustomer, QStringLiteral("交款单")));
        ChequeWindow *w = h->open();
        fill(w);
        click(w, "Command9");
        QCOMPARE(prompter->texts(), QStringList{QStringLiteral("30天内已向%1打印过相同金额的支票（%2，HK-7），仍然打印吗？")
                                                    .arg(kCustomer, d.addDays(-5).toString(Qt::ISODate))});
    }

    void nameTooLongEvenSmallIsNamedBeforePrinting()
    {
        const QString longName = QString(50, QChar(u'华')); // 50 × 120 twips at 6 points > 5210
        QVERIFY(StoreFixture::append(customers(), {longName, "1", "银行", "", "", ""}));
        ChequeWindow *w = h->open();
        edit(w, "Text43")->setText(QString(10, QChar(u'华')));
        click(w, "Command5");
        QCOMPARE(edit(w, "Text25")->text(), longName);
        fill(w);
        prompter->clear();
        click(w, "Command9");
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().startsWith(QStringLiteral("“收款人”的内容太长")), qPrintable(prompter->lastText()));
        QCOMPARE(prompter->prompts.first().defaultButton, ui::No);
        QCOMPARE(h->prints, 0);
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
        prompter->answer(ui::Yes); // print anyway: the smallest size
        click(w, "Command9");
        QCOMPARE(h->prints, 1);
        const QList<PlacedText> texts = h->recorder.placedTexts();
        const PlacedText *payee = textAt(texts, 4636, 1216);
        QVERIFY(payee);
        QCOMPARE(payee->size, 6.0);
    }

    // A history that cannot take the row (another program's trigger refuses it, as a full disk
    // would): the clerk is told, the queue never gets the job, and the entries stay for a retry.
    void aRecordThatCannotBeWrittenPrintsNothingAndKeepsTheEntries()
    {
        QVERIFY(RawDatabase(store::databasePath())
                    .run(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON dyb_jobs "
                                        "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END")));
        FakeSpooler queue;
        FakePrintEngine engine;
        ChequeWindow *w = h->open();
        w->printSettings().openPrinter = [&engine]() -> std::unique_ptr<QPrinter> {
            return std::make_unique<FakePrinter>(&engine);
        };
        w->setPrintPath([w](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            return printVoucher(routine, parent, issued, w->printSettings());
        });
        fill(w);
        click(w, "Command9");
        QCOMPARE(queue.calls, (QStringList{"create 1", "cancel 1"}));
        QVERIFY(queue.documents.isEmpty());
        QVERIFY2(prompter->lastText().startsWith(QStringLiteral("打印记录无法保存：")), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().contains(QStringLiteral("磁盘已满")));
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
        QCOMPARE(edit(w, "Text8")->text(), QStringLiteral("1000.50"));
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("20100414"));
    }

    // The printer chosen beside 打印 is the queue the job goes to, kept for the next time the
    // window opens; one that is gone is told before anything prints, and 取消 prints nothing.
    void theVouchersOwnPrinterTakesTheJob()
    {
        const QString other = QStringLiteral("PDF-margins");
        if (QPrinterInfo::printerInfo(other).isNull() || QPrinterInfo::defaultPrinter().printerName() == other)
            QSKIP("the test queues are not set up (scripts/printer.sh)");
        FakeSpooler queue;
        ChequeWindow *w = h->open();
        w->setPrintPath([w](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            return printVoucher(routine, parent, issued, w->printSettings());
        });
        QComboBox *box = w->printerChoice()->box();
        QCOMPARE(box->itemText(0), QStringLiteral("系统默认打印机"));
        const int index = box->findData(other);
        QVERIFY(index > 0);
        box->setCurrentIndex(index);
        emit box->activated(index);
        QCOMPARE(printing::chosenPrinter(QStringLiteral("zpdy")), other);
        fill(w);
        click(w, "Command9");
        QCOMPARE(queue.queues, QStringList{other});
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"20100414"});
        const QString notice = w->printerChoice()->notice();
        const QString payee = StoreFixture::column(history(), "skrmc").value(0);
        QVERIFY(!payee.isEmpty());
        QVERIFY2(notice.startsWith(QStringLiteral("已打印 支票 20100414 · ") + payee), qPrintable(notice));
        QVERIFY2(notice.endsWith(QStringLiteral("￥1,000.50 · 打印机 PDF-margins")), qPrintable(notice));
        w->close();

        // The queue removed since: told, and 取消 leaves everything as it was.
        QVERIFY(printing::setChosenPrinter(QStringLiteral("zpdy"), QStringLiteral("已拆走的打印机")));
        h = std::make_unique<Harness<ChequeWindow>>();
        w = h->open();
        w->setPrintPath([w](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            return printVoucher(routine, parent, issued, w->printSettings());
        });
        QCOMPARE(w->printerChoice()->box()->currentText(), QStringLiteral("已拆走的打印机（已不在系统中）"));
        fill(w);
        edit(w, "Text21")->clear();
        type(edit(w, "Text21"), QStringLiteral("20100415"));
        edit(w, "Text8")->clear();
        type(edit(w, "Text8"), QStringLiteral("2000.00"));
        prompter->clear();
        prompter->answer(ui::Cancel);
        click(w, "Command9");
        QCOMPARE(prompter->lastText(), printing::gonePrinterQuestion(QStringLiteral("已拆走的打印机")));
        QCOMPARE(queue.queues, QStringList{other});
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"20100414"});
        // 用默认打印机 prints there this time and keeps the choice as it is.
        prompter->answer(ui::Yes);
        click(w, "Command9");
        QCOMPARE(queue.queues, (QStringList{other, QPrinterInfo::defaultPrinter().printerName()}));
        QCOMPARE(StoreFixture::column(history(), "pzhm"), (QStringList{"20100414", "20100415"}));
        QCOMPARE(printing::chosenPrinter(QStringLiteral("zpdy")), QStringLiteral("已拆走的打印机"));
    }
};

QTEST_MAIN(TestPrintSafety)
#include "tst_printsafety.moc"
