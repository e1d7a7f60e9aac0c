// The print history window: grid and details, queries, the payee picker, deletion and export.

#include "history/historywindow.h"
#include "history/payeepicker.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/datasource.h"
#include "store/lookups.h"
#include "vouchers/voucherwindow.h"
#include "storefixture.h"
#include "ui/fonts.h"
#include "xlsxread.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using store::statements::customers;

namespace {

store::Statement dyb() { return store::statements::history(); }

QLineEdit *edit(QWidget *w, const QString &name) { return w->findChild<QLineEdit *>(name); }
QPushButton *button(QWidget *w, const QString &name) { return w->findChild<QPushButton *>(name); }
QDateEdit *datePicker(QWidget *w, const QString &name) { return w->findChild<QDateEdit *>(name); }
QTableView *grid(QWidget *w) { return w->findChild<QTableView *>("DataGrid1"); }
void click(QWidget *w, const QString &name) { QTest::mouseClick(button(w, name), Qt::LeftButton); }

// A history row as a voucher writes it; number tells the rows apart.
void addHistory(const QString &number, const QString &payee, const QDate &paid,
                const QDate &printed = QDate(2010, 4, 14))
{
    QVERIFY(StoreFixture::append(dyb(), {QVariant(), printed, paid, "支票", number, "1234.50", "货款",
                                             "北京蓝石", "0200", "工行朝阳", payee, "3100", "建行浦东"}));
}

// A history row with its type and amount as the searches by them need.
void addVoucher(const QString &number, const QString &type, const QString &amount, const QString &payee,
                const QDate &paid)
{
    QVERIFY(StoreFixture::append(dyb(), {QVariant(), paid, paid, type, number, amount, "货款", "北京蓝石", "0200",
                                         "工行朝阳", payee, "3100", "建行浦东"}));
}

QStringList numbersOnDisplay(history::HistoryWindow &w)
{
    QStringList out;
    auto *model = grid(&w)->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 3).data().toString();
    return out;
}

void clickRow(QTableView *view, int row)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

    std::unique_ptr<history::HistoryWindow> openWindow()
    {
        auto w = std::make_unique<history::HistoryWindow>();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return nullptr;
        return w;
    }

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        StoreFixture::removeAll(dyb());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        prompter.reset();
        db.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    // ---- grid, details, activation -----------------------------------------------------------

    void gridDetailsAndActivation()
    {
        addHistory("10000001", "上海华东建材有限公司", QDate(2010, 4, 9), QDate(2010, 4, 14));
        addHistory("10000002", "天津物流", QDate(2011, 11, 30), QDate(2011, 12, 1));
        auto w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("付款查询"));
        saveScreenshot(w.get(), "lsjlcx");

        auto *model = grid(w.get())->model();
        QCOMPARE(model->columnCount(), 14);
        const QStringList captions = {"打印日期", "付款日期", "凭证类型", "凭证号码", "付款金额", "付款用途", "收款人名称",
                                      "收款人帐号", "收款人开户行", "付款人名称", "付款人帐号", "付款人开户行", "省", "市"};
        for (int c = 0; c < 14; ++c)
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), captions[c]);
        QCOMPARE(model->index(0, 0).data().toString(), QString("2010-04-14"));
        QCOMPARE(model->index(0, 1).data().toString(), QString("2010-04-09"));
        QCOMPARE(model->index(1, 0).data().toString(), QString("2011-12-01"));
        QCOMPARE(model->index(0, 6).data().toString(), QString("上海华东建材有限公司"));
        QCOMPARE(model->index(0, 9).data().toString(), QString("北京蓝石"));
        QVERIFY(model->index(0, 12).data().toString().isEmpty());

        // The first row in detail, dates in the program's one form.
        QCOMPARE(edit(w.get(), "Text1")->text(), QString("2010-04-14"));
        QCOMPARE(edit(w.get(), "Text2")->text(), QString("2010-04-09"));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("10000001"));
        QCOMPARE(edit(w.get(), "Text5")->text(), QString("1234.50"));
        QCOMPARE(edit(w.get(), "Text7")->text(), QString("北京蓝石"));
        QCOMPARE(edit(w.get(), "Text10")->text(), QString("上海华东建材有限公司"));
        QCOMPARE(edit(w.get(), "Text12")->text(), QString("建行浦东"));

        QCOMPARE(QApplication::focusWidget(), edit(w.get(), "Text13"));
        // A click shows the row.
        clickRow(grid(w.get()), 1);
        QCOMPARE(edit(w.get(), "Text2")->text(), QString("2011-11-30"));
        QCOMPARE(edit(w.get(), "Text10")->text(), QString("天津物流"));

        // Activation: focus (above), export path, both dates today; again on every opening.
        QCOMPARE(edit(w.get(), "Text15")->text(), QDir::toNativeSeparators(store::appDir()));
        QCOMPARE(datePicker(w.get(), "DTPicker1")->date(), QDate::currentDate());
        QCOMPARE(datePicker(w.get(), "DTPicker2")->date(), QDate::currentDate());
        QVERIFY(datePicker(w.get(), "DTPicker1")->calendarPopup());
        QCOMPARE(datePicker(w.get(), "DTPicker1")->displayFormat(), QString("yyyy-MM-dd"));
        QCOMPARE(datePicker(w.get(), "DTPicker2")->calendarWidget()->locale().language(), QLocale::Chinese);
        QCOMPARE(datePicker(w.get(), "DTPicker2")->calendarWidget()->firstDayOfWeek(), Qt::Monday);
        saveScreenshot(datePicker(w.get(), "DTPicker2")->calendarWidget(), "lsjlcx_calendar");

        datePicker(w.get(), "DTPicker1")->setDate(QDate(2001, 1, 1));
        edit(w.get(), "Text15")->setText("/elsewhere/a.xlsx");
        click(w.get(), "Command2"); // 退出: hidden, not gone
        QVERIFY(!w->isVisible());
        w->show();
        QCOMPARE(datePicker(w.get(), "DTPicker1")->date(), QDate::currentDate());
        QCOMPARE(edit(w.get(), "Text15")->text(), QDir::toNativeSeparators(store::appDir()));
        QCOMPARE(w->focusWidget(), edit(w.get(), "Text13"));
        QCOMPARE(edit(w.get(), "Text2")->text(), QString("2011-11-30")); // the row stays current
        w->close(); // the close box hides it too
        QVERIFY(!w->isVisible());
        QVERIFY(prompter->prompts.isEmpty());
    }

    // ---- queries ----------------------------------------------------------------------------

    void findOnOneDayWithAnEmptyName()
    {
        const QDate today = QDate::currentDate();
        addHistory("1", "甲公司", today.addDays(-1));
        addHistory("2", "乙公司", today);
        addHistory("3", "", today); // an empty payee is still a payee
        addHistory("4", "丙公司", today.addDays(1));
        addHistory("5", "甲公司", today);
        auto w = openWindow();
        QVERIFY(w);
        edit(w.get(), "Text13")->setText("   ");
        click(w.get(), "Command3");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"2", "3", "5"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("2"));
        QCOMPARE(QApplication::focusWidget(), edit(w.get(), "Text13"));

        // Refresh (Alt+R) lists every row again; Alt+F finds again.
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_R, Qt::AltModifier); // the button's short animation first
        QTRY_COMPARE(numbersOnDisplay(*w), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(QApplication::focusWidget(), edit(w.get(), "Text13"));
        QTest::keyClick(w.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(numbersOnDisplay(*w), (QStringList{"2", "3", "5"}));
    }

    void findByNameWithinARangeIncludesBothEnds()
    {
        addHistory("1", "上海华东建材", QDate(2010, 4, 1));
        addHistory("2", "华东物流", QDate(2010, 4, 15));
        addHistory("3", "华东建材", QDate(2010, 4, 30));
        addHistory("4", "华东建材", QDate(2010, 5, 1));
        addHistory("5", "华北建材", QDate(2010, 4, 10));
        addHistory("6", "huadong 100%", QDate(2010, 4, 10));
        auto w = openWindow();
        QVERIFY(w);
        datePicker(w.get(), "DTPicker1")->setDate(QDate(2010, 4, 1));
        datePicker(w.get(), "DTPicker2")->setDate(QDate(2010, 4, 30));
        edit(w.get(), "Text13")->setText(" 华东 ");
        click(w.get(), "Command3");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"1", "2", "3"}));
        // Latin letters in any case; a typed % is a percent sign, not a wildcard.
        edit(w.get(), "Text13")->setText("HUADONG 100%");
        click(w.get(), "Command3");
        QCOMPARE(numbersOnDisplay(*w), QStringList{"6"});
        QVERIFY(prompter->prompts.isEmpty());
    }

    void findNothingAsksAndBothAnswersListEveryRow_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(ui::Yes);
        QTest::newRow("no") << int(ui::No);
    }
    void findNothingAsksAndBothAnswersListEveryRow()
    {
        QFETCH(int, answer);
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        addHistory("2", "乙公司", QDate(2010, 4, 2));
        auto w = openWindow();
        QVERIFY(w);
        clickRow(grid(w.get()), 1);
        // Start after end finds nothing, even a row on either day.
        datePicker(w.get(), "DTPicker1")->setDate(QDate(2010, 4, 2));
        datePicker(w.get(), "DTPicker2")->setDate(QDate(2010, 4, 1));
        edit(w.get(), "Text13")->setText("公司");
        prompter->answer(ui::Button(answer));
        click(w.get(), "Command3");
        QCOMPARE(prompter->prompts.size(), 1);
        const ui::Prompt p = prompter->prompts.first();
        QCOMPARE(p.text, QString("没有查询到客户，是否重新查询？"));
        QCOMPARE(p.title, QString("客户查询"));
        QCOMPARE(p.buttons, ui::Buttons(ui::Yes | ui::No));
        QCOMPARE(p.icon, ui::Icon::Question);
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"1", "2"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("1"));
        if (answer == ui::Yes) {
            QVERIFY(edit(w.get(), "Text13")->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), edit(w.get(), "Text13"));
        } else {
            QCOMPARE(edit(w.get(), "Text13")->text(), QString("公司"));
            QCOMPARE(QApplication::focusWidget(), button(w.get(), "Command7"));
        }
    }

    // Number, type and amount narrow the payee and date search; the totals follow the rows on
    // display; a heading sorts by its column.
    void searchesByNumberTypeAndAmountWithTotals()
    {
        const QDate may(2010, 5, 10), june(2010, 6, 10);
        addVoucher("20001", "支票", "1200.00", "华东建材", may);
        addVoucher("20002", "进账单", "300.5", "华东物流", may);
        addVoucher("20103", "支票", "1,000", "华东建材", june); // no amount a sum can take
        addVoucher("30004", "汇款凭证", "88", "北方机械", june);
        addVoucher("20005", "支票", "１２００", "北方机械", june); // full-width, as an input method types
        auto w = openWindow();
        QVERIFY(w);
        QLabel *totals = w->findChild<QLabel *>("lblTotals");
        QVERIFY(totals);
        QCOMPARE(totals->text(), QString("共 5 行，金额合计 2,788.50 元（其中 1 行的金额不是数字，未计入合计）"));

        // The dates still count until 不限日期 is ticked.
        datePicker(w.get(), "DTPicker1")->setDate(QDate(2010, 5, 1));
        datePicker(w.get(), "DTPicker2")->setDate(QDate(2010, 5, 31));
        QTest::keyClicks(edit(w.get(), "txtNumber"), "200");
        QTest::keyClick(edit(w.get(), "txtNumber"), Qt::Key_Return); // Enter searches
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"20001", "20002"}));
        QCOMPARE(totals->text(), QString("共 2 行，金额合计 1,500.50 元"));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(w->findChild<QCheckBox *>("chkAnyDate")->isChecked());
        QVERIFY(!datePicker(w.get(), "DTPicker1")->isEnabled());
        click(w.get(), "Command3");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"20001", "20002", "20005"}));

        const struct {
            const char *number, *type, *from, *to, *payee;
            QStringList found;
        } searches[] = {
            {"", "支票", "", "", "", {"20001", "20103", "20005"}},
            {"", "支票", "1200", "", "", {"20001", "20005"}},       // one amount: that amount
            {"", "", "88", "300.5", "", {"20002", "30004"}},       // two: a range, both ends in
            {"", "", "", "300.50", "", {"20002", "30004"}},         // the second alone: at most
            {"", "", "88", "88.00", "北方", {"30004"}},
            {"2010", "支票", "", "", "华东", {"20103"}},
        };
        for (const auto &search : searches) {
            edit(w.get(), "txtNumber")->setText(search.number);
            w->findChild<QComboBox *>("cboType")->setCurrentText(QString::fromUtf8(search.type));
            edit(w.get(), "txtAmountFrom")->setText(search.from);
            edit(w.get(), "txtAmountTo")->setText(search.to);
            edit(w.get(), "Text13")->setText(QString::fromUtf8(search.payee));
            click(w.get(), "Command3");
            QCOMPARE(numbersOnDisplay(*w), search.found);
        }
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        QCOMPARE(totals->text(), QString("共 1 行，金额合计 0.00 元（其中 1 行的金额不是数字，未计入合计）"));

        // An amount that is no amount is told, and nothing is searched.
        edit(w.get(), "txtAmountFrom")->setText("12元");
        click(w.get(), "Command3");
        QCOMPARE(prompter->lastText(), QString("请输入正确的金额，如 1234.50"));
        QCOMPARE(QApplication::focusWidget(), edit(w.get(), "txtAmountFrom"));
        QCOMPARE(numbersOnDisplay(*w), QStringList{"20103"});

        // Sorting: a click on 付款金额 orders by value (the unreadable amount first), a second
        // click reverses; the current row stays current and the order holds for the next search.
        click(w.get(), "Command4"); // 刷新: every row
        clickRow(grid(w.get()), 1);
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("20002"));
        QHeaderView *header = grid(w.get())->horizontalHeader();
        const auto clickHeading = [header](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
        };
        clickHeading(4);
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"20103", "30004", "20002", "20001", "20005"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("20002"));
        QCOMPARE(grid(w.get())->currentIndex().row(), 2);
        clickHeading(4);
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"20001", "20005", "20002", "30004", "20103"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        clickHeading(6); // 收款人名称 by character codes (北 before 华), ties in stored order
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"30004", "20005", "20001", "20103", "20002"}));
        w->findChild<QComboBox *>("cboType")->setCurrentText("支票");
        for (const char *field : {"txtAmountFrom", "txtNumber", "Text13"})
            edit(w.get(), field)->clear();
        click(w.get(), "Command3");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"20005", "20001", "20103"}));
        saveScreenshot(w.get(), "lsjlcx_totals");
    }

    // ---- payee picker ------------------------------------------------------------------------

    void pickerListsCustomersAndRunsThePrefixQuery()
    {
        StoreFixture::removeAll(customers());
        QVERIFY(StoreFixture::append(customers(), {"华东建材", "6222", "工行", "上海", "浦东", "HDJC"}));
        QVERIFY(StoreFixture::append(customers(), {"华东物流", "6223", "建行", "上海", "闵行", "HDWL"}));
        addHistory("1", "华东建材有限公司", QDate(2010, 4, 1));
        addHistory("2", "上海华东建材", QDate(2010, 4, 2)); // contains, does not begin with
        addHistory("3", "华东物流", QDate(2010, 4, 3));
        addHistory("4", "华东建材", QDate(2010, 4, 4));
        auto w = openWindow();
        QVERIFY(w);
        edit(w.get(), "Text15")->setText("/chosen/before.xlsx");

        click(w.get(), "Command5");
        history::PayeePicker *picker = w->picker();
        QVERIFY(picker);
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->windowTitle(), QString("选择公司名称"));
        QCOMPARE(picker->windowModality(), Qt::ApplicationModal);
        saveScreenshot(picker, "lsjlxz");
        auto *pickerGrid = grid(picker);
        QCOMPARE(pickerGrid->model()->rowCount(), 2);
        QCOMPARE(pickerGrid->model()->headerData(0, Qt::Horizontal).toString(), QString("公司名称"));
        QCOMPARE(pickerGrid->model()->headerData(1, Qt::Horizontal).toString(), QString("帐号"));
        QCOMPARE(pickerGrid->model()->headerData(2, Qt::Horizontal).toString(), QString("开户行"));
        QCOMPARE(edit(picker, "Text1")->text(), QString("华东建材"));
        clickRow(pickerGrid, 1);
        QCOMPARE(edit(picker, "Text1")->text(), QString("华东物流"));
        clickRow(pickerGrid, 0);

        click(picker, "Command1");
        QVERIFY(!picker->isVisible());
        QCOMPARE(w->pickedPayee(), QString("华东建材"));
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"1", "4"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("1"));
        // Back from the picker is an activation: the chosen path is replaced.
        QCOMPARE(edit(w.get(), "Text15")->text(), QDir::toNativeSeparators(store::appDir()));
        QCOMPARE(w->focusWidget(), edit(w.get(), "Text13"));

        // Picked again after a refresh: the payee's rows again; a typed name that begins no
        // payee leaves the list empty and the details blank.
        click(w.get(), "Command4");
        QCOMPARE(numbersOnDisplay(*w).size(), 4);
        click(w.get(), "Command5");
        QCOMPARE(w->picker(), picker); // the same, kept loaded
        QCOMPARE(edit(picker, "Text1")->text(), QString("华东建材"));
        click(picker, "Command1");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"1", "4"}));
        click(w.get(), "Command5");
        edit(picker, "Text1")->setText("无此公司");
        QTest::keyClick(edit(picker, "Text1"), Qt::Key_Return);
        QVERIFY(numbersOnDisplay(*w).isEmpty());
        QVERIFY(edit(w.get(), "Text10")->text().isEmpty());

        // The close box hides it without a choice.
        click(w.get(), "Command5");
        picker->close();
        QVERIFY(!picker->isVisible());
        QCOMPARE(w->pickedPayee(), QString("无此公司"));
        QVERIFY(prompter->prompts.isEmpty());
    }

    // ---- deletion ----------------------------------------------------------------------------

    // 作废 keeps the row, shows it as void, and the repeat check no longer finds it; giving up
    // on the reason changes nothing, and a second 作废 says when the first was.
    void voidKeepsTheRowShowsItAndLeavesTheRepeatCheck()
    {
        addHistory("10000001", "上海华东建材有限公司", QDate(2010, 4, 9));
        addHistory("10000002", "天津物流", QDate(2010, 4, 9));
        const auto repeat = [] {
            store::Connection c;
            return store::firstPayment(c, QStringLiteral("北京蓝石"), QStringLiteral("上海华东建材有限公司"), 123450,
                                       QDate(2010, 3, 10), QDate(2010, 5, 9));
        };
        QVERIFY(repeat().has_value());
        auto w = openWindow();
        QVERIFY(w);
        QString asked;
        QString answer;
        w->setReasonAsker([&](QWidget *, const QString &voucher) {
            asked = voucher;
            return answer;
        });
        clickRow(grid(w.get()), 0);
        click(w.get(), "Command8"); // given up
        QCOMPARE(asked, QStringLiteral("支票 10000001"));
        auto *model = grid(w.get())->model();
        QVERIFY(!model->index(0, 3).data(Qt::FontRole).value<QFont>().strikeOut());

        answer = QStringLiteral("卡纸，重新打印");
        click(w.get(), "Command8");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"10000001", "10000002"})); // the row stays
        QCOMPARE(StoreFixture::column(dyb(), "pzhm").size(), 2);
        QVERIFY(model->index(0, 3).data(Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(model->index(0, 3).data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("已作废：卡纸，重新打印（")));
        QVERIFY(!model->index(1, 3).data(Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(!repeat().has_value());
        saveScreenshot(w.get(), QStringLiteral("lsjlcx-void"));

        prompter->clear();
        click(w.get(), "Command8");
        QVERIFY2(prompter->lastText().startsWith(QStringLiteral("支票 10000001 已于 ")), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().endsWith(QStringLiteral("作废（卡纸，重新打印）。")));
        // Exported with its mark, in a column after the history's.
        QTemporaryDir out;
        w->setSaveFileChooser([&](QWidget *, const QString &) { return out.filePath("作废"); });
        click(w.get(), "Command6");
        click(w.get(), "Command7");
        XlsxFile book(out.filePath("作废.xlsx"));
        QVERIFY(book.isValid());
        QCOMPARE(book.text("O1"), QStringLiteral("状态"));
        QVERIFY2(book.text("O2").startsWith(QStringLiteral("作废：卡纸，重新打印（")), qPrintable(book.text("O2")));
        QVERIFY(book.text("O3").isEmpty());
        QCOMPARE(book.text("D2"), QStringLiteral("10000001"));
        // Shown as void when the window opens again.
        w = openWindow();
        QVERIFY(grid(w.get())->model()->index(0, 3).data(Qt::FontRole).value<QFont>().strikeOut());
    }

    // 补打 opens the voucher's window filled as the row holds it; its print writes a second row,
    // marked as the reprint of the first, without the question about its number.
    void reprintFillsTheVoucherAndMarksTheNewRow()
    {
        addHistory("10203041", "上海华东建材有限公司", QDate(2010, 4, 9));
        auto w = openWindow();
        QVERIFY(w);
        QPointer<vouchers::VoucherWindow> reprint;
        connect(w.get(), &history::HistoryWindow::reprintOpened, this,
                [&](QWidget *opened) { reprint = qobject_cast<vouchers::VoucherWindow *>(opened); });
        clickRow(grid(w.get()), 0);
        click(w.get(), "Command9");
        QVERIFY(reprint);
        QCOMPARE(reprint->objectName(), QStringLiteral("zpdy"));
        const QStringList expected = {"Text21=10203041", "Text8=1234.50", "Text19=货款", "Text25=上海华东建材有限公司"};
        for (const QString &pair : expected) {
            const QString field = pair.section(QLatin1Char('='), 0, 0), value = pair.section(QLatin1Char('='), 1);
            QCOMPARE(reprint->findChild<QLineEdit *>(field)->text(), value);
        }
        reprint->setPrintPath([](const vouchers::PrintRoutine &, QWidget *, const vouchers::Issued &started) {
            started();
            return vouchers::PrintOutcome::Printed;
        });
        prompter->clear();
        prompter->answer(ui::Yes); // the same payment within 30 days: the first print went nowhere
        click(reprint, "Command9");
        for (const QString &text : prompter->texts())
            QVERIFY2(!text.contains(QStringLiteral("已于")), qPrintable(text)); // no number question
        QCOMPARE(StoreFixture::column(dyb(), "pzhm"), (QStringList{"10203041", "10203041"}));
        QCOMPARE(StoreFixture::column(dyb(), "skrzhh"), (QStringList{"3100", "3100"}));
        QCOMPARE(StoreFixture::column(dyb(), "skrkhh"), (QStringList{"建行浦东", "建行浦东"}));
        QCOMPARE(StoreFixture::column(dyb(), "fkrq"), (QStringList{"2010-04-09", "2010-04-09"}));
        const QStringList rows = StoreFixture::column(dyb(), "xh");
        store::Connection c;
        QCOMPARE(store::reprintOf(c, rows.at(1).toLongLong()), rows.at(0).toLongLong());
        QCOMPARE(store::reprintOf(c, rows.at(0).toLongLong()), 0);
        reprint->close();
    }

    void deleteRefusedWithOneRowOnDisplay()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        addHistory("2", "乙公司", QDate(2010, 4, 2));
        addHistory("3", "丙公司", QDate(2010, 4, 3));
        auto w = openWindow();
        QVERIFY(w);
        datePicker(w.get(), "DTPicker1")->setDate(QDate(2010, 4, 1));
        datePicker(w.get(), "DTPicker2")->setDate(QDate(2010, 4, 30));
        edit(w.get(), "Text13")->setText("乙");
        click(w.get(), "Command3");
        QCOMPARE(numbersOnDisplay(*w), QStringList{"2"});
        click(w.get(), "Command1");
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(prompter->lastText(), QString("客户数据库不可为空"));
        QCOMPARE(prompter->lastTitle(), QString("警告"));
        QCOMPARE(prompter->prompts.first().icon, ui::Icon::None);
        QCOMPARE(StoreFixture::column(dyb(), "pzhm").size(), 3);
    }

    void deleteMiddleLastAndCancel()
    {
        for (int i = 1; i <= 4; ++i)
            addHistory(QString::number(i), "甲公司", QDate(2010, 4, i));
        auto w = openWindow();
        QVERIFY(w);

        // Cancel (the default button) keeps the row and its place.
        clickRow(grid(w.get()), 1);
        prompter->answer(ui::Cancel);
        click(w.get(), "Command1");
        const ui::Prompt question = prompter->prompts.last();
        QCOMPARE(question.text, QString("是否删除"));
        QCOMPARE(question.title, QString("删除当前"));
        QCOMPARE(question.buttons, ui::Buttons(ui::Ok | ui::Cancel));
        QCOMPARE(question.icon, ui::Icon::Question);
        QCOMPARE(question.defaultButton, ui::Cancel);
        QCOMPARE(StoreFixture::column(dyb(), "pzhm").size(), 4);
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("2"));

        // A middle row: the next becomes current.
        prompter->answer(ui::Ok);
        click(w.get(), "Command1");
        QCOMPARE(StoreFixture::column(dyb(), "pzhm"), (QStringList{"1", "3", "4"}));
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"1", "3", "4"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("3"));
        QCOMPARE(grid(w.get())->currentIndex().row(), 1);

        // The last row: the first becomes current.
        clickRow(grid(w.get()), 2);
        prompter->answer(ui::Ok);
        click(w.get(), "Command1");
        QCOMPARE(StoreFixture::column(dyb(), "pzhm"), (QStringList{"1", "3"}));
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("1"));
        QCOMPARE(grid(w.get())->currentIndex().row(), 0);
    }

    void deleteActsOnTheQueriedRows()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        addHistory("2", "乙公司", QDate(2010, 4, 2));
        addHistory("3", "乙公司", QDate(2010, 4, 3));
        addHistory("4", "丙公司", QDate(2010, 4, 4));
        auto w = openWindow();
        QVERIFY(w);
        w->payeePicked("乙");
        QCOMPARE(numbersOnDisplay(*w), (QStringList{"2", "3"}));
        clickRow(grid(w.get()), 1);
        prompter->answer(ui::Ok);
        click(w.get(), "Command1"); // the last of the query: its first becomes current
        QCOMPARE(StoreFixture::column(dyb(), "pzhm"), (QStringList{"1", "2", "4"}));
        QCOMPARE(numbersOnDisplay(*w), QStringList{"2"});
        QCOMPARE(edit(w.get(), "Text4")->text(), QString("2"));
        click(w.get(), "Command1");
        QCOMPARE(prompter->lastText(), QString("客户数据库不可为空"));
    }

    // ---- export ------------------------------------------------------------------------------

    void exportNeedsAPathAndTakesTheFolderShown()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        auto w = openWindow();
        QVERIFY(w);
        edit(w.get(), "Text15")->clear();
        click(w.get(), "Command7");
        QCOMPARE(prompter->lastText(), QString("请选择保存位置"));
        QCOMPARE(prompter->lastTitle(), QString("信息提示"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        QCOMPARE(QApplication::focusWidget(), edit(w.get(), "Text15"));

        // The folder the window starts with is the place: the file gets the proposed name there.
        edit(w.get(), "Text15")->setText(store::appDir());
        click(w.get(), "Command7");
        const QString proposed =
            QStringLiteral("打印记录-%1.xlsx").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
        QCOMPARE(prompter->lastText(), QString("数据成功导出"));
        QCOMPARE(edit(w.get(), "Text15")->text(), QDir::toNativeSeparators(QDir(store::appDir()).filePath(proposed)));
        QCOMPARE(QDir(store::appDir()).entryList({"*.xlsx"}, QDir::Files), QStringList{proposed});
    }

    void exportChosenFileReadsBack()
    {
        addHistory("10000001", "=1+1", QDate(2010, 4, 9), QDate(2010, 4, 14));
        addHistory("10000002", "华东建材", QDate(2010, 4, 10));
        addHistory("10000003", "天津物流", QDate(2010, 4, 11));
        addHistory("10000004", "华东物流", QDate(2010, 4, 12));
        auto w = openWindow();
        QVERIFY(w);
        w->payeePicked("华东"); // the rows on display are what is exported
        QTemporaryDir out;
        QString offered;
        w->setSaveFileChooser([&](QWidget *, const QString &start) {
            offered = start;
            return out.filePath("付款记录");
        });
        click(w.get(), "Command6");
        QCOMPARE(offered, QDir(QDir::toNativeSeparators(store::appDir()))
                              .filePath(QStringLiteral("打印记录-%1.xlsx")
                                            .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))));
        QCOMPARE(edit(w.get(), "Text15")->text(), out.filePath("付款记录.xlsx"));
        click(w.get(), "Command7");
        QCOMPARE(prompter->lastText(), QString("数据成功导出"));
        QCOMPARE(prompter->lastTitle(), QString("提示窗口"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        XlsxFile book(out.filePath("付款记录.xlsx"));
        QVERIFY(book.isValid());
        QCOMPARE(book.lastRow(), 3);
        QCOMPARE(book.text("A1"), QString("打印日期"));
        QCOMPARE(book.text("G1"), QString("收款人名称"));
        QCOMPARE(book.text("D2"), QString("10000002"));
        QCOMPARE(book.text("G3"), QString("华东物流"));
        QCOMPARE(XlsxFile::serialDate(book.text("B3")), QDate(2010, 4, 12));

        // The whole list, with the payee "=1+1" kept as text.
        click(w.get(), "Command4");
        click(w.get(), "Command7");
        XlsxFile all(out.filePath("付款记录.xlsx"));
        QCOMPARE(all.lastRow(), 5);
        QCOMPARE(all.text("G2"), QString("=1+1"));
        QVERIFY(!all.cell("G2").formula);

        // A cancelled dialog empties the path.
        w->setSaveFileChooser([](QWidget *, const QString &) { return QString(); });
        click(w.get(), "Command6");
        QVERIFY(edit(w.get(), "Text15")->text().isEmpty());
    }

    void exportFailureIsReportedAndNothingIsWritten()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        auto w = openWindow();
        QVERIFY(w);
        QTemporaryDir out;
        QFile plain(out.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        edit(w.get(), "Text15")->setText(out.filePath("plain/x.xlsx"));
        click(w.get(), "Command7");
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().startsWith("数据导出失败"), qPrintable(prompter->lastText()));
        QCOMPARE(prompter->lastTitle(), QString("提示窗口"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Critical);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
    }

    // A value no cell can hold is cut, a control character left out, and the user told where.
    void exportSaysWhichRowsItChanged()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        addHistory("2", QString(40000, QChar(u'长')), QDate(2010, 4, 2));
        addHistory("3", QString("乙") + QChar(0) + "公司", QDate(2010, 4, 3));
        auto w = openWindow();
        QVERIFY(w);
        QTemporaryDir out;
        edit(w.get(), "Text15")->setText(out.filePath("x.xlsx"));
        click(w.get(), "Command7");
        QCOMPARE(prompter->prompts.size(), 1);
        const QString said = prompter->lastText();
        QVERIFY2(said.startsWith("数据成功导出\n"), qPrintable(said));
        QVERIFY2(said.contains("工作表第 3 行有内容超过一个单元格能容纳的 32767 个字符"), qPrintable(said));
        QVERIFY2(said.contains("工作表第 4 行的内容中有表格文件不能保存的控制字符"), qPrintable(said));
        XlsxFile book(out.filePath("x.xlsx"));
        QCOMPARE(book.lastRow(), 4);
        QCOMPARE(book.text("G4"), QString("乙公司"));
    }

    void aLargeExportShowsItsProgress()
    {
        {
            store::Connection connection;
            store::DataSource rows(connection);
            rows.setStatement(dyb());
            rows.refresh();
            store::Transaction t(connection);
            for (int i = 0; i <= history::HistoryWindow::kProgressThreshold; ++i) {
                rows.addNew();
                rows.setValue("fkrq", QDate(2010, 4, 1));
                rows.setValue("pzhm", QString::number(i));
                QVERIFY(rows.update());
            }
            QVERIFY(t.commit());
        }
        auto w = openWindow();
        QVERIFY(w);
        QTemporaryDir out;
        edit(w.get(), "Text15")->setText(out.filePath("large.xlsx"));
        int shownMaximum = -1;
        QStringList labels;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto *dialog = w->findChild<QProgressDialog *>(); dialog && dialog->isVisible()) {
                shownMaximum = dialog->maximum();
                if (!labels.contains(dialog->labelText()))
                    labels << dialog->labelText();
            }
        });
        watch.start(0);
        click(w.get(), "Command7");
        watch.stop();
        // A step per row and one for saving; the dialog stays up while the file is saved.
        QCOMPARE(shownMaximum, history::HistoryWindow::kProgressThreshold + 2);
        QCOMPARE(labels, (QStringList{"正在导出数据……", "正在保存文件……"}));
        QVERIFY(!w->findChild<QProgressDialog *>());
        QCOMPARE(prompter->lastText(), QString("数据成功导出"));
        XlsxFile book(out.filePath("large.xlsx"));
        QCOMPARE(book.lastRow(), history::HistoryWindow::kProgressThreshold + 2);
    }

    void exportOfAnEmptyListWritesNothingSilently()
    {
        addHistory("1", "甲公司", QDate(2010, 4, 1));
        auto w = openWindow();
        QVERIFY(w);
        w->payeePicked("乙");
        QTemporaryDir out;
        edit(w.get(), "Text15")->setText(out.filePath("empty.xlsx"));
        click(w.get(), "Command7");
        QVERIFY(prompter->prompts.isEmpty());
        QVERIFY(QDir(out.path()).isEmpty());
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
