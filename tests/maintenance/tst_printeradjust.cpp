// The printer adjustment window: millimetres shown, twips stored in the crossed columns, the
// modify/cancel/save states and the test print.

#include "maintenance/printeradjust.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "storefixture.h"
#include "ui/fonts.h"
#include "fakespooler.h"
#include "printing/pagewriter_recorder.h"
#include "printing/printerchoice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

using store::statements::printOffsets;
using printing::PlacedText;

namespace {

QLineEdit *box(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(name); }
QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(name); }
QString stored(const char *column) { return StoreFixture::column(printOffsets(), column).value(0); }
void setStored(const QVariant &up, const QVariant &left)
{
    StoreFixture::removeAll(printOffsets());
    QVERIFY(StoreFixture::append(printOffsets(), {up, left}));
}
void type(QLineEdit *e, const QString &text)
{
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}

} // namespace

class TestPrinterAdjust : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;
    printing::RecordingPageWriter recorder;
    int prints = 0;

    maintenance::PrinterAdjustWindow *open()
    {
        auto *w = new maintenance::PrinterAdjustWindow;
        w->setPrinter([this](const printing::PrintRoutine &routine, QWidget *, const printing::PrintSettings &) {
            ++prints;
            routine(recorder);
            return printing::PrintOutcome::Printed;
        });
        w->show();
        return w;
    }
    PlacedText printed(QWidget *w)
    {
        recorder.clear();
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        const auto texts = recorder.placedTexts();
        return texts.size() == 1 && recorder.endDocumentCount() == 1 ? texts.first() : PlacedText{};
    }

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        prompter = std::make_unique<ScriptedPrompter>();
        prints = 0;
    }
    void cleanup()
    {
        // A combo box's popup is a top-level widget its window deletes along with itself.
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets())
            windows.append(w);
        for (const QPointer<QWidget> &w : windows)
            delete w.data();
        QVERIFY(prompter->prompts.isEmpty());
        prompter.reset();
        db.reset();
    }

    void loadsReadOnlyWithSaveAndCancelAvailable()
    {
        auto *w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("打印机调节"));
        QCOMPARE(box(w, "Text4")->text(), QStringLiteral("0"));
        QCOMPARE(box(w, "Text5")->text(), QStringLiteral("0"));
        QVERIFY(box(w, "Text4")->isReadOnly());
        QVERIFY(box(w, "Text5")->isReadOnly());
        for (const char *b : {"Command1", "Command2", "Command3", "Command4", "Command5"})
            QVERIFY2(button(w, b)->isEnabled(), b);
        QCOMPARE(w->state().testText, QStringLiteral("T"));
        saveScreenshot(w, "dyjsz");

        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton); // 修改
        QVERIFY(!box(w, "Text4")->isReadOnly());
        QVERIFY(!box(w, "Text5")->isReadOnly());
        QVERIFY(!button(w, "Command1")->isEnabled());
        QVERIFY(!button(w, "Command5")->isEnabled());
        QVERIFY(button(w, "Command4")->isEnabled());
    }

    void minusOneMillimetreStoresMinus57InTheHorizontalColumn()
    {
        auto *w = open();
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        type(box(w, "Text4"), "-1");
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton);
        QCOMPARE(stored("djpzup"), QStringLiteral("-57"));  // horizontal
        QCOMPARE(stored("djpzleft"), QStringLiteral("0")); // vertical untouched
        QVERIFY(box(w, "Text4")->isReadOnly());
        QCOMPARE(w->state().horizontalTwips, QStringLiteral("-57"));
        for (const char *b : {"Command1", "Command3", "Command4", "Command5"})
            QVERIFY2(button(w, b)->isEnabled(), b);
        // The next test print stands 57 twips further left.
        QCOMPARE(printed(w), (PlacedText{1701 - 57, 1701, 20, "T"}));

        type(box(w, "Text5"), "3"); // read-only: typing does nothing
        QCOMPARE(box(w, "Text5")->text(), QStringLiteral("0"));
    }

    // The boxes show whole millimetres; a box the clerk leaves as shown keeps its stored half
    // millimetre through any save, and only an edited box takes what it shows.
    void storedFractionShowsWholeMillimetresAndSurvivesASave()
    {
        setStored(142.5, -28.5);
        auto *w = open();
        QCOMPARE(box(w, "Text4")->text(), QStringLiteral("2"));
        QCOMPARE(box(w, "Text5")->text(), QStringLiteral("-1")); // floor, not truncation
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton); // saved unchanged
        QCOMPARE(stored("djpzup"), QStringLiteral("142.5"));
        QCOMPARE(stored("djpzleft"), QStringLiteral("-28.5"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        box(w, "Text5")->setText(QStringLiteral("1"));
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton); // the other box edited
        QCOMPARE(stored("djpzup"), QStringLiteral("142.5"));
        QCOMPARE(stored("djpzleft"), QStringLiteral("57"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        box(w, "Text4")->setText(QStringLiteral("2.5"));
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton);
        QCOMPARE(stored("djpzup"), QStringLiteral("142.5"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        box(w, "Text4")->setText(QStringLiteral("2"));
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton); // typed as a whole millimetre now
        QCOMPARE(stored("djpzup"), QStringLiteral("114"));
    }

    void cancelKeepsTheEditedValuesOnScreen()
    {
        setStored(57, 114);
        auto *w = open();
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        type(box(w, "Text4"), "5");
        type(box(w, "Text5"), "abc"); // no number: counts as 0
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(box(w, "Text4")->text(), QStringLiteral("5"));
        QCOMPARE(box(w, "Text5")->text(), QStringLiteral("abc"));
        QVERIFY(!box(w, "Text4")->isReadOnly());
        for (const char *b : {"Command1", "Command4", "Command5"})
            QVERIFY2(button(w, b)->isEnabled(), b);
        QCOMPARE(w->state().horizontalTwips, QStringLiteral("57"));
        QCOMPARE(stored("djpzup"), QStringLiteral("57"));

        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton);
        QCOMPARE(stored("djpzup"), QStringLiteral("285"));
        QCOMPARE(stored("djpzleft"), QStringLiteral("0"));
    }

    void testPrintUsesTheStoredOffsets_data()
    {
        QTest::addColumn<double>("up");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("zero") << 0.0 << 0.0 << 1701.0 << 1701.0;
        QTest::newRow("vertical half rounds to even, down") << 0.0 << 28.5 << 1701.0 << 1729.0;
        QTest::newRow("vertical half rounds to even, up") << 0.0 << 29.5 << 1701.0 << 1731.0;
        QTest::newRow("horizontal is not rounded") << 28.5 << 0.0 << 1729.5 << 1701.0;
        QTest::newRow("negative") << -114.0 << -57.0 << 1587.0 << 1644.0;
    }
    void testPrintUsesTheStoredOffsets()
    {
        QFETCH(double, up);
        QFETCH(double, left);
        QFETCH(double, x);
        QFETCH(double, y);
        setStored(up, left);
        auto *w = open();
        // What is typed but not saved does not move the print.
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        type(box(w, "Text4"), "10");
        QCOMPARE(printed(w), (PlacedText{x, y, 20, "T"}));
        QCOMPARE(prints, 1);
        const QList<printing::PrintOp> ops = recorder.ops();
        QCOMPARE(ops.size(), 5);
        QCOMPARE(ops.last(), printing::PrintOp::endDocument());
    }

    void emptyTableShowsZeroAndSavingPutsTheRowBack()
    {
        StoreFixture::removeAll(printOffsets());
        auto *w = open();
        QCOMPARE(box(w, "Text4")->text(), QStringLiteral("0"));
        QCOMPARE(printed(w), (PlacedText{1701, 1701, 20, "T"}));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        type(box(w, "Text5"), "2");
        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(printOffsets(), "djpzleft"), QStringList{"114"});
        QCOMPARE(StoreFixture::column(printOffsets(), "djpzup"), QStringList{"0"});
    }

    // The offsets move every voucher; the test print goes to the printer of the voucher chosen,
    // which is kept for the next time, and a chosen printer that is gone is asked about first.
    void theTestPrintGoesToTheChosenVouchersPrinter()
    {
        const QString other = QStringLiteral("PDF-margins");
        if (QPrinterInfo::printerInfo(other).isNull() || QPrinterInfo::defaultPrinter().printerName() == other)
            QSKIP("the test queues are not set up (scripts/printer.sh)");
        const QList<maintenance::TestPrintVoucher> vouchers{{QStringLiteral("zpdy"), QStringLiteral("支票")},
                                                            {QStringLiteral("jzddy"), QStringLiteral("进账单")}};
        QVERIFY(printing::setChosenPrinter(QStringLiteral("zpdy"), QString()));
        QVERIFY(printing::setChosenPrinter(QStringLiteral("jzddy"), other));
        FakeSpooler queue;
        auto *w = new maintenance::PrinterAdjustWindow(nullptr, vouchers);
        w->show();
        auto *box = w->findChild<QComboBox *>("Combo1");
        auto *name = w->findChild<QLabel *>("printerName");
        QCOMPARE(box->currentText(), QStringLiteral("支票"));
        QCOMPARE(name->text(), QStringLiteral("打印机：系统默认打印机"));
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QCOMPARE(queue.queues, QStringList{QPrinterInfo::defaultPrinter().printerName()});

        box->setCurrentIndex(1);
        emit box->activated(1);
        QCOMPARE(name->text(), QStringLiteral("打印机：") + other);
        saveScreenshot(w, "dyjsz-voucher");
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QCOMPARE(queue.queues.value(1), other);
        QCOMPARE(queue.calls.count(QStringLiteral("create 2")), 1);
        delete w;

        // Opened again: 进账单 is still chosen. Its printer removed since: told, 取消 prints nothing.
        QVERIFY(printing::setChosenPrinter(QStringLiteral("jzddy"), QStringLiteral("已拆走的打印机")));
        w = new maintenance::PrinterAdjustWindow(nullptr, vouchers);
        w->show();
        box = w->findChild<QComboBox *>("Combo1");
        QCOMPARE(box->currentText(), QStringLiteral("进账单"));
        QCOMPARE(w->findChild<QLabel *>("printerName")->text(), QStringLiteral("打印机：已拆走的打印机（已不在系统中）"));
        prompter->answer(ui::Cancel);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), printing::gonePrinterQuestion(QStringLiteral("已拆走的打印机")));
        QCOMPARE(queue.queues.size(), 2);
        prompter->answer(ui::Yes);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QCOMPARE(queue.queues.value(2), QPrinterInfo::defaultPrinter().printerName());
        QCOMPARE(prompter->prompts.size(), 2); // the gone printer, asked once for each print
        prompter->clear();
        // Nothing printed here is a voucher: the history stays empty.
        QVERIFY(StoreFixture::column(store::statements::history(), "xh").isEmpty());
    }

    void exitClosesTheWindow()
    {
        QPointer<maintenance::PrinterAdjustWindow> w = open();
        QTest::mouseClick(button(w, "Command5"), Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(TestPrinterAdjust)
#include "tst_printeradjust.moc"
