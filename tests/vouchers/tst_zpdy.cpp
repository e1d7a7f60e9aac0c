// The cheque window: input checks, switches, pickers, calibration, history rows and what goes to
// the printer (recorded).

#include "voucherharness.h"
#include "windowtest.h"
#include "reference/customeradd.h"
#include "reference/customerpicker.h"
#include "reference/purposes.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "printing/printerchoice.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/numberbooks.h"
#include "store/profile.h"
#include "storefixture.h"
#include "text/amount.h"
#include "ui/fonts.h"
#include "vouchers/history.h"
#include "printing/pagewriter_recorder.h"
#include "vouchers/chequewindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::history;

namespace {

// The delivered customer is the cheque's first payee.
const QString kPayee = kCustomer;
const QString kPayeeAccount = kCustomerAccount;
const QString kPayeeBank = kCustomerBank;

// A choice on the settings tab, clicked where the user sees it.
void choose(QWidget *w, const char *option)
{
    w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    QTest::mouseClick(w->findChild<QRadioButton *>(QLatin1String(option)), Qt::LeftButton);
}

QDateEdit *datePicker(QWidget *w) { return w->findChild<QDateEdit *>(QStringLiteral("DTPicker1")); }

void storeSetting(const QString &key, const QString &value)
{
    QVERIFY(store::Profile(store::appFile(QStringLiteral("mqtx.ini"))).write(QStringLiteral("MyApp"), key, value));
}

QString storedSetting(const QString &key)
{
    return store::Profile(store::appFile(QStringLiteral("mqtx.ini"))).read(QStringLiteral("Myapp"), key);
}

// The text placed there, or a marker that fails the comparison when nothing is.
QString textThere(const QList<PlacedText> &texts, double x, double y) { return printedAt(texts, x, y); }

} // namespace

class TestChequeWindow : public WindowTest {
    Q_OBJECT

    QPointer<ChequeWindow> window;
    RecordingPageWriter recorder;
    int prints = 0;

    // A window as the main window shows it, printing into the recorder.
    ChequeWindow *open()
    {
        window = new ChequeWindow;
        window->setPrintPath([this](const PrintRoutine &routine, QWidget *, const Issued &started) {
            recorder.clear();
            started(); // the printer has started the job: the row comes before the drawing
            routine(recorder);
            ++prints;
            return PrintOutcome::Printed;
        });
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("window not active");
        return window;
    }

    void closeWindow()
    {
        if (window) {
            window->close();
            QTRY_VERIFY(window.isNull());
        }
    }

    // Number, confirmed date 14 April 2010, amount and purpose.
    void fill(ChequeWindow *w, const QString &amount = QStringLiteral("1000.50"))
    {
        type(edit(w, "Text21"), QStringLiteral("10203040"));
        datePicker(w)->setDate(QDate(2010, 4, 14));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        type(edit(w, "Text8"), amount);
        type(edit(w, "Text19"), QStringLiteral("货款"));
    }

    void clickPrint(ChequeWindow *w) { QTest::mouseClick(button(w, "Command9"), Qt::LeftButton); }

private slots:

    void init()
    {
        WindowTest::init();
        recorder.clear();
        prints = 0;
    }

    void cleanup()
    {
        closeWindow();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        WindowTest::cleanup();
    }

    // A registered book fills the number: its next unused one when the window opens and after
    // each print, read again from the history by a window opened later; its last five and its
    // end are told beside the printer.
    void chequeNumbersRunOnThroughTheBook()
    {
        {
            store::Connection connection;
            store::NumberBook book{0, QStringLiteral("zpdy"), kOwnAccount, QStringLiteral("10203040"),
                                   QStringLiteral("10203044")};
            QString error;
            QVERIFY2(store::addNumberBook(connection, &book, &error), qPrintable(error));
        }
        ChequeWindow *w = open();
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("10203040"));
        QVERIFY2(w->printerChoice()->notice().contains(QStringLiteral("只剩 5 个号码")), qPrintable(w->printerChoice()->notice()));
        const auto printOne = [&](ChequeWindow *window, int i) {
            datePicker(window)->setDate(QDate(2010, 4, 14));
            QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
            edit(window, "Text8")->clear();
            type(edit(window, "Text8"), QString::number(1000 + i)); // no repeat of an amount
            edit(window, "Text19")->clear();
            type(edit(window, "Text19"), QStringLiteral("货款"));
            clickPrint(window);
        };
        printOne(w, 0);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"10203040"});
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("10203041"));
        QVERIFY(w->printerChoice()->notice().startsWith(QStringLiteral("已打印 支票 10203040")));
        closeWindow();

        w = open();
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("10203041"));
        for (int i = 1; i <= 4; ++i)
            printOne(w, i);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(StoreFixture::column(history(), "pzhm"),
                 (QStringList{"10203040", "10203041", "10203042", "10203043", "10203044"}));
        QVERIFY(edit(w, "Text21")->text().isEmpty());
        QVERIFY2(w->printerChoice()->notice().contains(QStringLiteral("号码簿已用完")), qPrintable(w->printerChoice()->notice()));
    }

    void opensWithTodayTheFirstCustomerAndLockedBoxes()
    {
        ChequeWindow *w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("支票打印"));
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
        QCOMPARE(edit(w, "Text25")->text(), kPayee);
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
        // No settings file: offsets 0, both switches off, so no bank, no counterfoil payee.
        QCOMPARE(edit(w, "Text42")->text(), QStringLiteral("0"));
        QCOMPARE(edit(w, "Text69")->text(), QStringLiteral("0"));
        QCOMPARE(edit(w, "Text70")->text(), QStringLiteral("0"));
        QVERIFY(edit(w, "Text3")->text().isEmpty());
        QVERIFY(edit(w, "Text22")->text().isEmpty());
        QVERIFY(edit(w, "Text5")->text().isEmpty());
        for (const KeyBox &kb : chequeKeyBoxes())
            QVERIFY2(w->findChild<QLineEdit *>(kb.box)->isReadOnly(), qPrintable(kb.box));
        for (const char *option : {"Option1", "Option2", "Option3", "Option4"})
            QVERIFY2(!w->findChild<QRadioButton *>(QLatin1String(option))->isChecked(), option);
        // The grid names its columns for the cheque.
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        QCOMPARE(grid->horizontalHeader()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("客户名称"));
        QCOMPARE(grid->horizontalHeader()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("账号"));
        QCOMPARE(grid->horizontalHeader()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("开户行"));
    }

    void switchesOnShowBankAndCounterfoil()
    {
        storeSetting(QStringLiteral("text99"), QStringLiteral("1"));
        storeSetting(QStringLiteral("text100"), QStringLiteral("1"));
        ChequeWindow *w = open();
        QCOMPARE(edit(w, "Text3")->text(), kOwnBank);
        QCOMPARE(edit(w, "Text22")->text(), kOwnAccount);
        QCOMPARE(edit(w, "Text5")->text(), kPayee);
        edit(w, "Text8")->setText(QStringLiteral("1000.50")); // set by the program: converts too
        QCOMPARE(edit(w, "Text28")->text(), QStringLiteral("壹仟元零伍角整"));
        QStringList cells;
        for (const char *c : {"Text18", "Text17", "Text16", "Text15", "Text14", "Text13", "Text12", "Text11", "Text10", "Text9"})
            cells << edit(w, c)->text();
        QCOMPARE(cells, QStringList({"", "", "", "￥", "1", "0", "0", "0", "5", "0"}));
        QCOMPARE(edit(w, "Text29")->text(), text::currencyText(QStringLiteral("1000.50")));
        type(edit(w, "Text19"), QStringLiteral("货款"));
        QCOMPARE(edit(w, "Text20")->text(), QStringLiteral("货款"));
        QCOMPARE(edit(w, "Text27")->text(), QStringLiteral("货款"));
    }

    void counterfoilSwitchOffKeepsTheCounterfoilEmpty()
    {
        ChequeWindow *w = open();
        fill(w);
        QVERIFY(edit(w, "Text29")->text().isEmpty());
        QVERIFY(edit(w, "Text27")->text().isEmpty());
        QCOMPARE(edit(w, "Text20")->text(), QStringLiteral("货款"));
        QCOMPARE(edit(w, "Text38")->text(), QStringLiteral("2010")); // the numeric date is kept
        clickPrint(w);
        QCOMPARE(prints, 1);
        const QList<PlacedText> texts = recorder.placedTexts();
        for (const auto &[x, y] : {std::pair{1556, 2666}, {2246, 2666}, {2746, 2666}, {1396, 2966}, {1396, 3266}, {1396, 3566}})
            QVERIFY2(!textAt(texts, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        // ... while the history row holds amount and purpose.
        QCOMPARE(StoreFixture::column(history(), "fkje"), QStringList{"1000.50"});
        QCOMPARE(StoreFixture::column(history(), "fkyt"), QStringList{"货款"});
    }

    // The counterfoil switched on (是, 保存) after the amount and purpose were typed: its copies
    // follow the switch at once, on screen and on paper, not only the next change of the amount.
    void aCounterfoilSwitchedOnLateCarriesTheAmountPurposeAndDate()
    {
        ChequeWindow *w = open();
        fill(w);
        choose(w, "Option4"); // the stub's date emptied, as "否" does
        QTest::mouseClick(button(w, "Command8"), Qt::LeftButton);
        choose(w, "Option3");
        QTest::mouseClick(button(w, "Command8"), Qt::LeftButton);
        QCOMPARE(edit(w, "Text29")->text(), text::currencyText(QStringLiteral("1000.50")));
        QCOMPARE(edit(w, "Text27")->text(), QStringLiteral("货款"));
        QCOMPARE(edit(w, "Text5")->text(), kPayee);
        clickPrint(w);
        QCOMPARE(prints, 1);
        const QList<PlacedText> texts = recorder.placedTexts();
        QCOMPARE(printedAt(texts, 1396, 2966), kPayee);
        QCOMPARE(printedAt(texts, 1396, 3266), text::currencyText(QStringLiteral("1000.50")));
        QCOMPARE(printedAt(texts, 1396, 3566), QStringLiteral("货款"));
        QCOMPARE(printedAt(texts, 1556, 2666), QStringLiteral("2010"));
        QCOMPARE(printedAt(texts, 2246, 2666), QStringLiteral("4"));
    }

    // A stored offset that no box can show exactly (100 twips is 1.754… mm) or that another
    // program wrote differently stays as it is when the clerk saves after changing another box.
    void savingKeepsTheOffsetsTheClerkDidNotTouch()
    {
        storeSetting(QStringLiteral("text73"), QStringLiteral("100"));
        storeSetting(QStringLiteral("text74"), QStringLiteral("28.50"));
        ChequeWindow *w = open();
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        QTest::mouseClick(button(w, "Command10"), Qt::LeftButton); // 修改
        edit(w, "Text71")->setText(QStringLiteral("-1.5"));
        QTest::mouseClick(button(w, "Command8"), Qt::LeftButton); // 保存
        QCOMPARE(storedSetting(QStringLiteral("text1")), QStringLiteral("-85.5"));
        QCOMPARE(storedSetting(QStringLiteral("text73")), QStringLiteral("100"));
        QCOMPARE(storedSetting(QStringLiteral("text74")).toDouble(), 28.5);
        QCOMPARE(w->calibration().value(QStringLiteral("text73")), 100.0);
    }

    void emptyPrintAsksOnlyForTheChequeNumber()
    {
        ChequeWindow *w = open();
        clickPrint(w);
        QCOMPARE(prompter->texts(), QStringList{"请输入支票号码"});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("打印"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        QCOMPARE(w->focusWidget(), edit(w, "Text21"));
        QCOMPARE(prints, 0);
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
    }

    void checksInOrderWithTheirFocus()
    {
        ChequeWindow *w = open();
        type(edit(w, "Text21"), QStringLiteral("1"));
        datePicker(w)->setDate(QDate(2011, 5, 6)); // a date shown is not a date confirmed
        clickPrint(w);
        QCOMPARE(prompter->lastText(), QStringLiteral("请确认日期"));
        QCOMPARE(w->focusWidget(), button(w, "Command1"));
        QCOMPARE(button(w, "Command1")->text(), QStringLiteral("确定日期(&Q)"));

        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("贰零壹壹"));
        QCOMPARE(edit(w, "Text34")->text(), QStringLiteral("伍"));
        QCOMPARE(edit(w, "Text35")->text(), QStringLiteral("零陆"));
        QCOMPARE(w->focusWidget(), edit(w, "Text8"));
        clickPrint(w);
        QCOMPARE(prompter->lastText(), QStringLiteral("请输入金额"));
        QCOMPARE(w->focusWidget(), edit(w, "Text8"));

        edit(w, "Text8")->setText(QStringLiteral("5"));
        clickPrint(w);
        QCOMPARE(prompter->lastText(), QStringLiteral("请输入用途"));
        QCOMPARE(w->focusWidget(), edit(w, "Text19"));

        // Blanks are content: a purpose of one blank passes.
        edit(w, "Text19")->setText(QStringLiteral(" "));
        prompter->clear();
        clickPrint(w);
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(prints, 1);
        QCOMPARE(StoreFixture::column(history(), "fkrq"), QStringList{"2011-05-06"});
    }

    void unprintableAmountIsRefused_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::newRow("letters") << "12abc";
        QTest::newRow("comma") << "1,000";
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-5";
        QTest::newRow("three decimals") << "1.234";
        QTest::newRow("eleven places") << "100000000";
        QTest::newRow("blanks") << "   ";
    }

    void unprintableAmountIsRefused()
    {
        QFETCH(QString, amount);
        ChequeWindow *w = open();
        fill(w, QString());
        edit(w, "Text8")->setText(amount);
        clickPrint(w);
        const QString message =
            text::amountProblemMessage(text::checkPrintable(amount, text::AmountVariant::TenPlaces));
        QVERIFY(!message.isEmpty());
        QCOMPARE(prompter->texts(), QStringList{message});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("打印"));
        QCOMPARE(w->focusWidget(), edit(w, "Text8"));
        QCOMPARE(prints, 0);
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
    }

    void twoPrintsAppendTwoRows()
    {
        ChequeWindow *w = open();
        fill(w);
        clickPrint(w);
        QVERIFY(prompter->prompts.isEmpty());
        prompter->answer(ui::Yes); // the same cheque again: asked, and confirmed
        prompter->answer(ui::Yes); // its number too
        clickPrint(w);
        QCOMPARE(prompter->texts(),
                 (QStringList{QStringLiteral("30天内已向%1打印过相同金额的支票（2010-04-14，10203040），仍然打印吗？").arg(kPayee),
                              QStringLiteral("支票号码10203040已于%1打印，仍然打印吗？")
                                  .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))}));
        QCOMPARE(prints, 2);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QList<std::pair<const char *, QString>> expected = {
            {"dyrq", today},        {"fkrq", "2010-04-14"},   {"pzlx", "支票"},         {"pzhm", "10203040"},
            {"fkje", "1000.50"},    {"fkyt", "货款"},         {"fkrmc", kOwnName},      {"fkrzhh", kOwnAccount},
            {"fkrkhh", kOwnBank},   {"skrmc", kPayee},        {"skrzhh", kPayeeAccount}, {"skrkhh", kPayeeBank},
        };
        for (const auto &[column, value] : expected)
            QCOMPARE(StoreFixture::column(history(), column), QStringList({value, value}));
        QCOMPARE(StoreFixture::column(history(), "sheng"), QStringList({"", ""}));

        // The bank switch is off: the paper gets neither bank nor account, the row has both.
        const QList<PlacedText> texts = recorder.placedTexts();
        QVERIFY(!textAt(texts, 9846, 916));
        QVERIFY(!textAt(texts, 9846, 1216));
        const PlacedText *payee = textAt(texts, 4636, 1216);
        QVERIFY(payee);
        QCOMPARE(payee->text, kPayee);
        QCOMPARE(textThere(texts, 5596, 916), QStringLiteral("贰零壹零"));
        QCOMPARE(textThere(texts, 4896, 1616), QStringLiteral("壹仟元零伍角整"));
        QCOMPARE(textThere(texts, 12026, 1816), QStringLiteral("0"));
        QCOMPARE(textThere(texts, 11806, 1816), QStringLiteral("5"));
        QCOMPARE(textThere(texts, 10706, 1816), QStringLiteral("￥"));
        QVERIFY(!textAt(texts, 10486, 1816));
        QCOMPARE(recorder.pageHeight(), 5000);
        QCOMPARE(recorder.pageWidth(), 16000);
    }

    void bankChoiceOffStillRecordsBankAndAccount()
    {
        storeSetting(QStringLiteral("text99"), QStringLiteral("1"));
        ChequeWindow *w = open();
        QCOMPARE(edit(w, "Text3")->text(), kOwnBank);
        choose(w, "Option2");
        QCOMPARE(edit(w, "Text69")->text(), QStringLiteral("0"));
        QCOMPARE(edit(w, "Text3")->text(), QStringLiteral(" "));
        fill(w);
        clickPrint(w);
        QCOMPARE(StoreFixture::column(history(), "fkrkhh"), QStringList{kOwnBank});
        QCOMPARE(StoreFixture::column(history(), "fkrzhh"), QStringList{kOwnAccount});
    }

    void choicesChangeTheStoredSwitchOnlyWhenSaved()
    {
        ChequeWindow *w = open();
        choose(w, "Option1");
        choose(w, "Option3");
        QCOMPARE(edit(w, "Text69")->text(), QStringLiteral("1"));
        QCOMPARE(edit(w, "Text3")->text(), kOwnBank);
        QCOMPARE(edit(w, "Text5")->text(), kPayee);
        // The stored counterfoil switch is still off: the amount gets no counterfoil text.
        edit(w, "Text8")->setText(QStringLiteral("12"));
        QVERIFY(edit(w, "Text29")->text().isEmpty());
        closeWindow();

        ChequeWindow *again = open();
        QCOMPARE(edit(again, "Text69")->text(), QStringLiteral("0"));
        QVERIFY(edit(again, "Text3")->text().isEmpty());
        QVERIFY(!again->findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());

        choose(again, "Option3");
        QTest::mouseClick(button(again, "Command8"), Qt::LeftButton);
        QCOMPARE(storedSetting(QStringLiteral("text100")), QStringLiteral("1"));
        edit(again, "Text8")->setText(QStringLiteral("12"));
        QCOMPARE(edit(again, "Text29")->text(), text::currencyText(QStringLiteral("12")));

        // "否" empties the counterfoil, the printed date included; the row keeps the date.
        fill(again);
        choose(again, "Option4");
        for (const char *f : {"Text5", "Text38", "Text39", "Text40", "Text29", "Text27"})
            QVERIFY2(edit(again, f)->text().isEmpty(), f);
        clickPrint(again);
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(StoreFixture::column(history(), "fkrq"), QStringList{"2010-04-14"});
    }

    void calibrationSavesAndLoads()
    {
        ChequeWindow *w = open();
        QTest::mouseClick(button(w, "Command10"), Qt::LeftButton);
        for (const KeyBox &kb : chequeKeyBoxes())
            QCOMPARE(w->findChild<QLineEdit *>(kb.box)->isReadOnly(), kb.isSwitch);
        const QList<std::pair<const char *, QString>> typed = {
            {"Text42", "-1"}, {"Text46", "0.5"}, {"Text59", "2mm"}, {"Text62", "1"},
            {"Text60", "3"},  {"Text61", "4"},   {"Text72", "2"},   {"Text71", "0.5"},
        };
        for (const auto &[box, value] : typed) {
            edit(w, box)->selectAll();
            type(edit(w, box), value);
        }
        QTest::mouseClick(button(w, "Command8"), Qt::LeftButton);
        QVERIFY(prompter->prompts.isEmpty()); // saving says nothing
        for (const KeyBox &kb : chequeKeyBoxes())
            QVERIFY2(w->findChild<QLineEdit *>(kb.box)->isReadOnly(), qPrintable(kb.box));

        const QList<std::pair<const char *, QString>> stored = {
            {"text73", "-57"}, {"text74", "28.5"}, {"text89", "114"}, {"text90", "57"}, {"text91", "171"},
            {"text92", "228"}, {"text31", "114"},  {"text1", "28.5"}, {"text75", "0"},  {"text99", "0"},
        };
        for (const auto &[key, value] : stored)
            QCOMPARE(storedSetting(QLatin1String(key)), value);
        // A new file holds all 30 keys in the documented order.
        QFile file(store::appFile(QStringLiteral("mqtx.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList keys;
        for (const QByteArray &line : file.readAll().split('\n'))
            if (line.contains('='))
                keys << QString::fromLatin1(line.left(line.indexOf('=')));
        QStringList order;
        for (const KeyBox &kb : chequeKeyBoxes())
            order << kb.key;
        QCOMPARE(keys, order);
        closeWindow();

        ChequeWindow *again = open();
        QCOMPARE(edit(again, "Text42")->text(), QStringLiteral("-1"));
        QCOMPARE(edit(again, "Text46")->text(), QStringLiteral("0.5"));
        QCOMPARE(edit(again, "Text59")->text(), QStringLiteral("2"));
        QCOMPARE(edit(again, "Text62")->text(), QStringLiteral("1"));
        QCOMPARE(edit(again, "Text60")->text(), QStringLiteral("3"));
        QCOMPARE(edit(again, "Text61")->text(), QStringLiteral("4"));
        QCOMPARE(edit(again, "Text72")->text(), QStringLiteral("2"));

        // Switch on the counterfoil to see its date: year shifted by text89, line by text90.
        storeSetting(QStringLiteral("text100"), QStringLiteral("1"));
        closeWindow();
        ChequeWindow *third = open();
        fill(third);
        clickPrint(third);
        const QList<PlacedText> texts = recorder.placedTexts();
        QVERIFY2(textAt(texts, 1556 + 28.5 + 114, 57 + 114 + 2666), qPrintable(recorder.dump()));
        QVERIFY2(textAt(texts, 2246 + 28.5 + 171, 57 + 114 + 2666), qPrintable(recorder.dump()));
        QVERIFY2(textAt(texts, 2746 + 28.5 + 228, 57 + 114 + 2666), qPrintable(recorder.dump()));
        QVERIFY2(textAt(texts, 5596 + 28.5 - 57, 28.5 + 114 + 916), qPrintable(recorder.dump()));
    }

    void pickerReturnResetsTheDatePickerButKeepsTheConfirmedDate()
    {
        ChequeWindow *w = open();
        datePicker(w)->setDate(QDate(2010, 4, 14));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        datePicker(w)->setDate(QDate(2012, 12, 12));
        QTest::mouseClick(button(w, "Command10"), Qt::LeftButton); // unlocked, until activation

        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QPointer<reference::PurposePicker> picker = w->findChild<reference::PurposePicker *>();
        QVERIFY(picker);
        QVERIFY(picker->isVisible());
        edit(picker, "Text1")->setText(QStringLiteral("差旅费"));
        QTest::mouseClick(button(picker, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(picker.isNull());

        QCOMPARE(edit(w, "Text19")->text(), QStringLiteral("差旅费"));
        QCOMPARE(edit(w, "Text20")->text(), QStringLiteral("差旅费"));
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("贰零壹零"));
        QCOMPARE(edit(w, "Text38")->text(), QStringLiteral("2010"));
        QVERIFY(edit(w, "Text42")->isReadOnly());
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
    }

    void customerPickerHandsOverTheFirstNameBeginningWithTheChoice()
    {
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京",
                                                   "海淀区", "BJLSRJYXGS"}));
        ChequeWindow *w = open();
        QCOMPARE(edit(w, "Text25")->text(), kPayee);
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QPointer<reference::CustomerPicker> picker = w->findChild<reference::CustomerPicker *>();
        QVERIFY(picker);
        QCOMPARE(picker->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("支票"));
        edit(picker, "Text1")->setText(QStringLiteral("北京蓝石"));
        QTest::mouseClick(button(picker, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(picker.isNull());
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京蓝石软件有限公司"));
        QCOMPARE(w->customers().recordCount(), 1);
        fill(w);
        clickPrint(w);
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), QStringList{"11050001"});
        QCOMPARE(StoreFixture::column(history(), "skrkhh"), QStringList{"中国银行北京分行"});

        // A choice that no name begins with is offered as a new customer; 否 leaves no payee behind.
        const auto pickName = [&](const QString &name) {
            QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
            QPointer<reference::CustomerPicker> p = w->findChild<reference::CustomerPicker *>();
            QVERIFY(p);
            edit(p, "Text1")->setText(name);
            QTest::mouseClick(button(p, "Command1"), Qt::LeftButton);
            QTRY_VERIFY(p.isNull());
        };
        prompter->clear();
        prompter->answer(ui::No);
        pickName(QStringLiteral("南京"));
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY(prompter->lastText().startsWith(QStringLiteral("没有名称以“南京”开头的客户。")));
        QVERIFY(prompter->lastText().contains(QStringLiteral("是否把“南京”添加为新客户")));
        QVERIFY(edit(w, "Text25")->text().isEmpty());
        QVERIFY(!w->findChild<reference::CustomerAddWindow *>());

        // 是 opens 客户添加 with the name typed; once saved, the voucher's payee is the new customer.
        prompter->clear();
        prompter->answer(ui::Yes);
        pickName(QStringLiteral("南京紫金五金商行"));
        QPointer<reference::CustomerAddWindow> add = w->findChild<reference::CustomerAddWindow *>();
        QVERIFY(add);
        QTRY_VERIFY(add->isVisible());
        QCOMPARE(edit(add, "Text1_0")->text(), QStringLiteral("南京紫金五金商行"));
        QCOMPARE(QApplication::focusWidget(), edit(add, "Text1_1"));
        const char *const rest[] = {"32010009", "南京银行玄武支行", "江苏", "南京"};
        for (int i = 0; i < 4; ++i)
            edit(add, QByteArray("Text1_") + char('1' + i))->setText(QString::fromUtf8(rest[i]));
        QTest::mouseClick(button(add, "Command1"), Qt::LeftButton);
        QTRY_VERIFY2(add.isNull(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(StoreFixture::column(customers(), "gsmc").count(QStringLiteral("南京紫金五金商行")), 1);
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("南京紫金五金商行"));
        QCOMPARE(w->customers().recordCount(), 1);
        // The fields of the last cheque stay; only the payee is new (its number, printed before,
        // is asked about).
        prompter->answer(ui::Yes);
        clickPrint(w);
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), (QStringList{"11050001", "32010009"}));
        QCOMPARE(StoreFixture::column(history(), "skrkhh"), (QStringList{"中国银行北京分行", "南京银行玄武支行"}));

        // Leaving 客户添加 without saving goes back to the voucher with no payee.
        prompter->clear();
        prompter->answer(ui::Yes);
        pickName(QStringLiteral("杭州"));
        add = w->findChild<reference::CustomerAddWindow *>();
        QVERIFY(add);
        QTest::mouseClick(button(add, "Command3"), Qt::LeftButton);
        QTRY_VERIFY(add.isNull());
        QVERIFY(edit(w, "Text25")->text().isEmpty());
        QCOMPARE(StoreFixture::column(customers(), "gsmc").size(), 3);
        // Closing the picker by its frame hands nothing back and says nothing.
        prompter->clear();
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        picker = w->findChild<reference::CustomerPicker *>();
        QVERIFY(picker);
        picker->close();
        QTRY_VERIFY(picker.isNull());
        QVERIFY(prompter->prompts.isEmpty());
    }

    void lockedBoxesLookLikeTheSwitchBoxes()
    {
        ChequeWindow *w = open();
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        // The colour inside a box, away from its frame and its text.
        const auto inside = [w](const char *name) {
            QLineEdit *box = edit(w, name);
            const QImage img = box->grab().toImage();
            return img.pixelColor(img.width() - 6, img.height() / 2);
        };
        const QColor locked = inside("Text42"), switchBox = inside("Text69");
        QCOMPARE(locked, switchBox);
        QTest::mouseClick(button(w, "Command10"), Qt::LeftButton); // 修改
        QVERIFY(!edit(w, "Text42")->isReadOnly());
        QVERIFY2(inside("Text42") != switchBox, qPrintable(inside("Text42").name()));
        QTest::mouseClick(button(w, "Command8"), Qt::LeftButton); // 保存 locks again
        QCOMPARE(inside("Text42"), switchBox);
    }

    void searchesWithTheChequesMessagesAndFocus()
    {
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京",
                                                   "海淀区", "BJLSRJYXGS"}));
        ChequeWindow *w = open();
        QTest::mouseClick(button(w, "Command6"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("请输入公司名称的字母简称，如蓝石软件输入lsrj"));
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
        QTest::mouseClick(button(w, "Command5"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("请输入公司名称"));

        type(edit(w, "Text43"), QStringLiteral("lsrj"));
        QTest::mouseClick(button(w, "Command6"), Qt::LeftButton);
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京蓝石软件有限公司"));
        QCOMPARE(w->focusWidget(), edit(w, "Text21"));

        QTest::mouseClick(button(w, "Command4"), Qt::LeftButton); // refresh: all customers, the first
        QVERIFY(edit(w, "Text43")->text().isEmpty());
        QCOMPARE(edit(w, "Text25")->text(), kPayee);

        // A click on the grid takes the customer over.
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        const QRect second = grid->visualRect(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京蓝石软件有限公司"));
    }

    void enterMovesAlongTheEntryFields()
    {
        ChequeWindow *w = open();
        const QList<std::pair<const char *, QWidget *>> chain = {
            {"Text43", button(w, "Command6")},
            {"Text21", button(w, "Command1")},
            {"Text8", edit(w, "Text19")},
            {"Text19", button(w, "Command9")},
        };
        for (const auto &[from, to] : chain) {
            edit(w, from)->setFocus();
            QTest::keyClick(edit(w, from), Qt::Key_Return);
            QCOMPARE(w->focusWidget(), to);
        }
    }

    // An access key presses its button the way a click does (after the button's short animation).
    void accessKeysRunTheCommands()
    {
        ChequeWindow *w = open();
        QTest::keyClick(w, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(prompter->texts(), QStringList{"请输入支票号码"});
        datePicker(w)->setDate(QDate(2010, 10, 10));
        QTest::keyClick(w, Qt::Key_Q, Qt::AltModifier);
        QTRY_COMPARE(edit(w, "Text34")->text(), QStringLiteral("零壹拾"));
        QCOMPARE(edit(w, "Text35")->text(), QStringLiteral("零壹拾"));
        QTest::keyClick(w, Qt::Key_J, Qt::AltModifier);
        QTRY_COMPARE(prompter->lastText(), QStringLiteral("请输入公司名称的字母简称，如蓝石软件输入lsrj"));
        QTest::keyClick(w, Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(window.isNull());
    }

    void comingBackFromAnotherApplicationChangesNothing()
    {
        ChequeWindow *w = open();
        datePicker(w)->setDate(QDate(2010, 1, 1));
        edit(w, "Text8")->setFocus();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
        QCOMPARE(datePicker(w)->date(), QDate(2010, 1, 1));
        QCOMPARE(w->focusWidget(), edit(w, "Text8"));
        // Shown again by the program: activation.
        w->hide();
        w->show();
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
    }

    void emptyTablesLeaveEmptyFields()
    {
        StoreFixture::removeAll(customers());
        StoreFixture::removeAll(store::statements::ownCompany());
        storeSetting(QStringLiteral("text99"), QStringLiteral("1"));
        ChequeWindow *w = open();
        QVERIFY(edit(w, "Text25")->text().isEmpty());
        QVERIFY(edit(w, "Text3")->text().isEmpty());
        fill(w);
        // A cheque may be completed by hand, so an empty payee is a question whose default is 否.
        clickPrint(w);
        QCOMPARE(prompter->texts(), QStringList{QStringLiteral("收款人为空，仍然打印吗？")});
        QCOMPARE(prompter->prompts.last().defaultButton, ui::No);
        QCOMPARE(prompter->prompts.last().buttons, ui::Buttons(ui::Yes | ui::No));
        QCOMPARE(prints, 0);
        QVERIFY(StoreFixture::column(history(), "skrmc").isEmpty());
        prompter->answer(ui::Yes);
        clickPrint(w);
        QCOMPARE(prints, 1);
        QCOMPARE(StoreFixture::column(history(), "skrmc"), QStringList{""});
        QCOMPARE(StoreFixture::column(history(), "fkrmc"), QStringList{""});
    }

    // Without a printer the clerk may keep the cheque as a PDF file: a complete file is an issued
    // cheque with its history row; a cancelled or failed save leaves none.
    void chequeSavedAsPdfIsRecorded_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rows");
        QTest::newRow("saved") << QStringLiteral("支票.pdf") << 1;
        QTest::newRow("no file chosen") << QString() << 0;
        QTest::newRow("cannot be written") << QStringLiteral("no/such/folder/支票.pdf") << 0;
    }
    void chequeSavedAsPdfIsRecorded()
    {
        QFETCH(QString, file);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString path = file.isEmpty() ? QString() : dir.filePath(file);
        ChequeWindow *w = open();
        w->setPrintPath([w](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            return printVoucher(routine, parent, issued, w->printSettings());
        });
        w->printSettings().openPrinter = [] { return std::unique_ptr<QPrinter>(); };
        QString proposed;
        w->printSettings().choosePdfPath = [&](QWidget *, const QString &p) {
            proposed = p;
            return path;
        };
        fill(w);
        prompter->answer(ui::No); // 另存为PDF(&S)
        clickPrint(w);
        QCOMPARE(StoreFixture::column(history(), "pzhm").size(), rows);
        QCOMPARE(QFile::exists(path), rows == 1);
        QVERIFY2(QFileInfo(proposed).fileName().startsWith(QStringLiteral("支票-") + kPayee + QLatin1Char('-')),
                 qPrintable(proposed));
    }

    void fullWidthAmountPrintsAndIsRecordedAsAscii()
    {
        ChequeWindow *w = open();
        fill(w);
        edit(w, "Text8")->setText(QStringLiteral("１２３４．５６"));
        QCOMPARE(edit(w, "Text28")->text(), QStringLiteral("壹仟贰佰叁拾肆元伍角陆分"));
        clickPrint(w);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(prints, 1);
        QCOMPARE(StoreFixture::column(history(), "fkje"), QStringList{"1234.56"});
    }

    void exitUnloadsTheWindow()
    {
        ChequeWindow *w = open();
        type(edit(w, "Text21"), QStringLiteral("99"));
        QTest::mouseClick(button(w, "Command7"), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        ChequeWindow *again = open();
        QVERIFY(edit(again, "Text21")->text().isEmpty());
    }

    // The shared history piece on its own: every column by position, and rows with a bad date among
    // them write nothing at all.
    void historyRowsGoInByPositionOrNotAtAll()
    {
        store::Connection connection;
        HistoryRow row{QDate(2011, 2, 3), "2010/4/14", "进账单", "n", "12", "p", "a", "b", "c", "d", "e", "f"};
        QString error;
        QVERIFY2(appendHistory(connection, {row}, &error), qPrintable(error));
        HistoryRow bad = row;
        bad.voucherDate = QStringLiteral("2010/4/");
        row.voucherDate = QStringLiteral("2012-1-2");
        QVERIFY(!appendHistory(connection, {row, bad}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY2(appendHistory(connection, {row}, &error), qPrintable(error));
        const QStringList columns = {"dyrq", "fkrq", "pzlx", "pzhm", "fkje", "fkyt", "fkrmc", "fkrzhh", "fkrkhh",
                                     "skrmc", "skrzhh", "skrkhh"};
        const QStringList first = {"2011-02-03", "2010-04-14", "进账单", "n", "12", "p", "a", "b", "c", "d", "e", "f"};
        for (int i = 0; i < columns.size(); ++i)
            QCOMPARE(StoreFixture::column(history(), columns[i]).value(0), first[i]);
        QCOMPARE(StoreFixture::column(history(), "fkrq"), QStringList({"2010-04-14", "2012-01-02"}));
    }

    void screenshots()
    {
        storeSetting(QStringLiteral("text99"), QStringLiteral("1"));
        storeSetting(QStringLiteral("text100"), QStringLiteral("1"));
        ChequeWindow *w = open();
        fill(w, QStringLiteral("12345.67"));
        saveScreenshot(w, QStringLiteral("zpdy"));
        // And the cheque itself, to look at beside the window.
        const QString shots = qEnvironmentVariable("LANSHI_SCREENSHOTS");
        if (!shots.isEmpty()) {
            const ChequeFace face = w->face();
            const Offsets offsets = w->calibration().values();
            QVERIFY(savePdf([&](PageWriter &pw) { printCheque(pw, face, offsets); },
                            QDir(shots).filePath(QStringLiteral("zpdy-cheque.pdf"))));
        }
        auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        tabs->setCurrentIndex(1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("支票打印设置"));
        saveScreenshot(w, QStringLiteral("zpdy-settings"));
        // It fits a 1024 x 768 screen.
        QVERIFY2(w->sizeHint().width() <= 1024 && w->sizeHint().height() <= 740,
                 qPrintable(QStringLiteral("%1 x %2").arg(w->sizeHint().width()).arg(w->sizeHint().height())));
    }
};

QTEST_MAIN(TestChequeWindow)
#include "tst_zpdy.moc"
