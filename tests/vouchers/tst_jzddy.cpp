// The deposit slip window as the clerk uses it: entries, checks, the history row, the calibration,
// hiding and reopening, and the slip on paper.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/profile.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "vouchers/depositwindow.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::history;

namespace {

QDateEdit *datePicker(QWidget *w) { return w->findChild<QDateEdit *>(QStringLiteral("DTPicker1")); }

// Confirmed date 14 April 2010, the amount, bill number and purpose.
void fill(DepositWindow *w, const QString &amount = QStringLiteral("1234.56"))
{
    datePicker(w)->setDate(QDate(2010, 4, 14));
    click(w, "Command1");
    type(edit(w, "Text8"), amount);
    type(edit(w, "Text5"), QStringLiteral("88776655"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

} // namespace

class TestDepositWindow : public WindowTest {
    Q_OBJECT

    std::unique_ptr<Harness<DepositWindow>> h;

private slots:

    void init()
    {
        WindowTest::init();
        h = std::make_unique<Harness<DepositWindow>>();
    }

    void cleanup()
    {
        h.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        WindowTest::cleanup();
    }

    void opensWithTheFirstCustomerAndTheOwnCompany()
    {
        // Saved by version 2 (行 háng) and upgraded: 简称 shows each character's common reading.
        QVERIFY(StoreFixture::append(customers(), {QStringLiteral("昊天贸易商行"), QStringLiteral("1"),
                                                   QStringLiteral("工行"), QStringLiteral("北京"),
                                                   QStringLiteral("海淀"), QStringLiteral("ZTMYSX"),
                                                   QStringLiteral("HTMYSH"), QStringLiteral("HTMYSXh")}));
        DepositWindow *w = h->open();
        QCOMPARE(w->windowTitle(), QStringLiteral("进账单打印"));
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
        // The customer hands the money in, the own company receives it.
        QCOMPARE(edit(w, "Text3")->text(), kCustomer);
        QCOMPARE(edit(w, "Text22")->text(), kCustomerAccount);
        QCOMPARE(edit(w, "Text30")->text(), kCustomerBank);
        QCOMPARE(edit(w, "Text25")->text(), kOwnName);
        QCOMPARE(edit(w, "Text2")->text(), kOwnAccount);
        QCOMPARE(edit(w, "Text23")->text(), kOwnBank);
        QCOMPARE(edit(w, "Text4")->text(), QStringLiteral("支票"));
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("支票"));
        QCOMPARE(edit(w, "Text6")->text(), QStringLiteral("1"));
        QCOMPARE(edit(w, "Text26")->text(), QStringLiteral("1"));
        for (const KeyBox &kb : depositKeyBoxes()) {
            QLineEdit *box = w->findChild<QLineEdit *>(kb.box);
            QVERIFY2(box && box->isReadOnly() && box->text() == QStringLiteral("0"), qPrintable(kb.box));
        }
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        QCOMPARE(grid->model()->columnCount(), 6); // every column of the customer table
        QCOMPARE(grid->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("简称"));
        QCOMPARE(grid->model()->index(0, 5).data().toString(), QStringLiteral("SHHDJCYXGS"));
        QCOMPARE(grid->model()->index(1, 5).data().toString(), QStringLiteral("HTMYSX"));
    }

    void entriesAreCopiedIntoTheSlipAsTheyAreTyped()
    {
        DepositWindow *w = h->open();
        edit(w, "Text4")->clear();
        type(edit(w, "Text4"), QStringLiteral("汇票"));
        type(edit(w, "Text5"), QStringLiteral("123"));
        edit(w, "Text6")->setText(QStringLiteral("3"));
        type(edit(w, "Text19"), QStringLiteral("房租"));
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("汇票"));
        QCOMPARE(edit(w, "Text24")->text(), QStringLiteral("123"));
        QCOMPARE(edit(w, "Text26")->text(), QStringLiteral("3"));
        QCOMPARE(edit(w, "Text20")->text(), QStringLiteral("房租"));
        // 0.05: 分 5, ￥ in 角, the rest empty.
        type(edit(w, "Text8"), QStringLiteral("0.05"));
        QCOMPARE(edit(w, "Text9")->text(), QStringLiteral("5"));
        QCOMPARE(edit(w, "Text10")->text(), QStringLiteral("￥"));
        QVERIFY(edit(w, "Text11")->text().isEmpty());
        QCOMPARE(edit(w, "Text28")->text(), QStringLiteral("伍分"));
        edit(w, "Text8")->setText(QStringLiteral("123456789.12"));
        QCOMPARE(edit(w, "Text29")->text(), QStringLiteral("1"));
        QCOMPARE(edit(w, "Text9")->text(), QStringLiteral("2"));
    }

    void checksInOrderWithTheirFocus()
    {
        DepositWindow *w = h->open();
        struct Step {
            const char *message;
            QWidget *focus;
            std::function<void()> mend;
        };
        const Step steps[] = {
            {"请确认日期", button(w, "Command1"), [w] { click(w, "Command1"); }},
            {"请输入金额", edit(w, "Text8"), [w] { type(edit(w, "Text8"), QStringLiteral("100")); }},
            {"请输入用途", edit(w, "Text19"), [w] { type(edit(w, "Text19"), QStringLiteral("货款")); }},
            {"请输入票据号码", edit(w, "Text5"), [w] { type(edit(w, "Text5"), QStringLiteral(" ")); }},
        };
        for (const Step &s : steps) {
            prompter->clear();
            click(w, "Command3");
            QCOMPARE(prompter->texts(), QStringList{QString::fromUtf8(s.message)});
            QCOMPARE(prompter->lastTitle(), QStringLiteral("打印"));
            QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
            QCOMPARE(w->focusWidget(), s.focus);
            QCOMPARE(h->prints, 0);
            s.mend();
        }
        // A blank bill number is content; the amount must still be one the slip can carry.
        edit(w, "Text8")->setText(QStringLiteral("1000000000"));
        prompter->clear();
        click(w, "Command3");
        QCOMPARE(prompter->texts(), QStringList{text::amountProblemMessage(text::AmountProblem::TooLarge)});
        edit(w, "Text8")->setText(QStringLiteral("999999999.99"));
        prompter->clear();
        click(w, "Command3");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(h->prints, 1);
    }

    void historyRowByPositionAfterAPickerReturn()
    {
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京",
                                                   "海淀区", "BJLSRJYXGS"}));
        DepositWindow *w = h->open();
        fill(w);
        QVERIFY(pickCustomer(w, "Command2", QStringLiteral("北京蓝石"), QStringLiteral("进账单")));
        // Back from the picker: the date picker shows today, the confirmed date stays.
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("2010"));
        QCOMPARE(edit(w, "Text3")->text(), QStringLiteral("北京蓝石软件有限公司"));
        click(w, "Command3");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        const QList<std::pair<const char *, QString>> expected = {
            {"dyrq", QDate::currentDate().toString(Qt::ISODate)},
            {"fkrq", "2010-04-14"},
            {"pzlx", "进账单"},
            {"pzhm", "88776655"},
            {"fkje", "1234.56"},
            {"fkyt", "货款"},
            {"fkrmc", "北京蓝石软件有限公司"},
            {"fkrzhh", "11050001"},
            {"fkrkhh", "中国银行北京分行"},
            {"skrmc", kOwnName},
            {"skrzhh", kOwnAccount},
            {"skrkhh", kOwnBank},
        };
        for (const auto &[column, value] : expected)
            QCOMPARE(StoreFixture::column(history(), QString::fromLatin1(column)), QStringList{value});
        // And on paper, height first.
        QCOMPARE(h->recorder.ops().value(0), PrintOp::pageHeight(9000));
        QCOMPARE(h->recorder.ops().value(1), PrintOp::pageWidth(15000));
        const QList<PlacedText> texts = h->recorder.placedTexts();
        const PlacedText *remitter = textAt(texts, 1675, 816);
        QVERIFY(remitter);
        QCOMPARE(remitter->text, QStringLiteral("北京蓝石软件有限公司"));
        const PlacedText *fen = textAt(texts, 6508 + 292 * 10, 2450);
        QVERIFY(fen);
        QCOMPARE(fen->text, QStringLiteral("6"));
    }

    void hiddenAndReopenedKeepsTheEntriesAndShowsAChangedOwnCompany()
    {
        DepositWindow *w = h->open();
        fill(w);
        click(w, "Command7"); // 退出 hides
        QVERIFY(!w->isVisible());
        QVERIFY(setOwnCompany(QStringLiteral("北京新名称有限公司"), QStringLiteral("招商银行北京分行"),
                              QStringLiteral("110900000001")));
        w->show();
        QCOMPARE(edit(w, "Text8")->text(), QStringLiteral("1234.56"));
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("2010"));
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京新名称有限公司"));
        QCOMPARE(edit(w, "Text2")->text(), QStringLiteral("110900000001"));
        click(w, "Command3");
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), QStringList{"110900000001"});
        QCOMPARE(printedAt(h->recorder.placedTexts(), 6066, 1166), QStringLiteral("110900000001"));
    }

    void calibrationIsSavedAsTwipsAndShownAsMillimetres()
    {
        QVERIFY(store::Profile(store::appFile(QStringLiteral("jzddy.ini"))).write(QStringLiteral("MyApp"),
                                                                                   QStringLiteral("text80"),
                                                                                   QStringLiteral("57")));
        DepositWindow *w = h->open();
        QCOMPARE(edit(w, "Text66")->text(), QStringLiteral("1"));
        click(w, "Command10");
        QVERIFY(!edit(w, "Text42")->isReadOnly());
        edit(w, "Text42")->setText(QStringLiteral("2.5"));
        edit(w, "Text58")->setText(QStringLiteral("-1"));
        click(w, "Command6");
        QVERIFY(edit(w, "Text42")->isReadOnly());
        const store::Profile profile(store::appFile(QStringLiteral("jzddy.ini")));
        QCOMPARE(profile.read(QStringLiteral("Myapp"), QStringLiteral("text27")), QStringLiteral("142.5"));
        QCOMPARE(profile.read(QStringLiteral("Myapp"), QStringLiteral("text31")), QStringLiteral("-57"));
        fill(w);
        click(w, "Command3");
        const QList<PlacedText> texts = h->recorder.placedTexts();
        QVERIFY(textAt(texts, 4166 + 142.5, 525 - 57)); // the year
        QVERIFY(textAt(texts, 6508 + 292 * 10 + 57 * 10, 2450 - 57)); // 分, ten gaps along
        // A file that cannot be written is told.
        QFile::remove(store::appFile(QStringLiteral("jzddy.ini")));
        QVERIFY(QDir().mkdir(store::appFile(QStringLiteral("jzddy.ini"))));
        prompter->clear();
        click(w, "Command10");
        click(w, "Command6");
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains(QStringLiteral("jzddy.ini")), qPrintable(prompter->lastText()));
    }

    void enterMovesAlongTheEntries()
    {
        DepositWindow *w = h->open();
        for (const auto &[from, to] : {std::pair{"Text43", "Command8"}, {"Text8", "Text5"}, {"Text5", "Command9"}}) {
            QWidget *field = edit(w, from);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(w->focusWidget()->objectName(), QString::fromLatin1(to));
        }
        // Searches: by name the focus stays in the search field, by initials it goes to 确定日期.
        edit(w, "Text43")->setText(QStringLiteral("华东"));
        click(w, "Command5");
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
        edit(w, "Text43")->setText(QStringLiteral("shhd"));
        click(w, "Command8");
        QCOMPARE(w->focusWidget(), button(w, "Command1"));
        QVERIFY(prompter->prompts.isEmpty());
    }

    void slipOnPaperStandsAtItsTwips()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("进账单.pdf"));
        DepositWindow *w = h->open();
        w->setPrintPath([pdf](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            if (!savePdf(routine, pdf))
                return PrintOutcome::Failed;
            issued();
            return PrintOutcome::SavedPdf;
        });
        fill(w);
        click(w, "Command3");
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"88776655"});
        const QSizeF page = pdftools::pageSize(pdf);
        QVERIFY2(qAbs(page.width() - 750) <= 1 && qAbs(page.height() - 450) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
        const QList<pdftools::Word> words = pdftools::words(pdf);
        for (const auto &[text, x, y] : {std::tuple{kOwnName, 6066.0, 816.0}, {QStringLiteral("6"), 6508.0 + 2920, 2450.0}}) {
            const pdftools::Word *found = pdftools::find(words, text);
            QVERIFY2(found, qPrintable(text));
            const QString where = QStringLiteral("%1 at (%2, %3) twips, expected (%4, %5)")
                                      .arg(text).arg(found->box.left() * 20).arg(found->box.top() * 20).arg(x).arg(y);
            QVERIFY2(qAbs(found->box.left() * 20 - x) <= 2, qPrintable(where));
            QVERIFY2(qAbs(found->box.top() * 20 - y) <= 2, qPrintable(where));
        }
        const QString shots = qEnvironmentVariable("LANSHI_SCREENSHOTS");
        if (!shots.isEmpty())
            QFile::copy(pdf, QDir(shots).filePath(QStringLiteral("jzddy-slip.pdf")));
    }

    void screenshots()
    {
        DepositWindow *w = h->open();
        fill(w);
        saveScreenshot(w, QStringLiteral("jzddy"));
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        saveScreenshot(w, QStringLiteral("jzddy-settings"));
        QVERIFY2(w->sizeHint().width() <= 1024 && w->sizeHint().height() <= 740,
                 qPrintable(QStringLiteral("%1 x %2").arg(w->sizeHint().width()).arg(w->sizeHint().height())));
    }
};

QTEST_MAIN(TestDepositWindow)
#include "tst_jzddy.moc"
