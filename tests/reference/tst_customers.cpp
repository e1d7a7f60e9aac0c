// Customer windows: add, management, picker and the voucher's customer search.

#include "reference/customeradd.h"
#include "reference/customermanage.h"
#include "reference/customerpicker.h"
#include "reference/customersearch.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "store/connection.h"
#include "storefixture.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using store::statements::customers;

namespace {

QLineEdit *edit(QWidget *w, const QString &name) { return w->findChild<QLineEdit *>(name); }
QPushButton *button(QWidget *w, const QString &name) { return w->findChild<QPushButton *>(name); }

void addCustomer(const QString &name, const QString &account = "6222", const QString &bank = "工行",
                 const QString &province = "北京", const QString &city = "海淀")
{
    QVERIFY(StoreFixture::append(customers(), {name, account, bank, province, city, text::initials(name)}));
}

// A voucher window stand-in with the fields the search block works on.
struct FakeVoucher {
    QWidget window;
    QLineEdit *text43 = new QLineEdit(&window);
    QLineEdit *text7 = new QLineEdit(&window);
    QLineEdit *payee = new QLineEdit(&window);
    QPushButton *byName = new QPushButton("名称查询", &window);
    QPushButton *byInitials = new QPushButton("简称查询", &window);
    QPushButton *exit = new QPushButton("退出(&X)", &window);
    QLineEdit *amount = new QLineEdit(&window);
    QTableView *grid = new QTableView(&window);
    store::Connection connection;
    std::unique_ptr<reference::CustomerSearch> search;
    int takeOvers = 0;

    FakeVoucher()
    {
        reference::CustomerSearchSetup setup;
        setup.window = &window;
        setup.searchField = text43;
        setup.byName = byName;
        setup.byInitials = byInitials;
        setup.grid = grid;
        setup.nameField = text7;
        setup.exitButton = exit;
        setup.focusAfterInitialsSearch = amount; // the name search leaves the focus in Text43
        setup.takeOver = [this] {
            ++takeOvers;
            payee->setText(search->customers().text("gsmc"));
        };
        search = std::make_unique<reference::CustomerSearch>(connection, setup);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

class TestCustomers : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        StoreFixture::removeAll(customers());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        prompter.reset();
        db.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    // ---- add ---------------------------------------------------------------------------------

    void addStoresEveryFieldAsTypedWithInitials()
    {
        reference::CustomerAddWindow w;
        w.show();
        const QStringList typed = {"  北京蓝石 'A%_' 公司 ", "6222 0212", "中国工商银行北京分行", "北京", "海淀"};
        for (int i = 0; i < 5; ++i)
            edit(&w, QString("Text1_%1").arg(i))->setText(typed[i]);
        saveScreenshot(&w, "khsz1");
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), QStringList{typed[0]});
        QCOMPARE(StoreFixture::column(customers(), "zhh"), QStringList{typed[1]});
        QCOMPARE(StoreFixture::column(customers(), "shi"), QStringList{"海淀"});
        const QString initials = StoreFixture::column(customers(), "gsmczmjc").value(0);
        QCOMPARE(initials, text::initials(typed[0]));
        QCOMPARE(initials.size(), typed[0].size());
        QVERIFY(initials.startsWith("  BJLS 'A%_' GS"));
        // From the readings: letters only, the blanks and punctuation left out.
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyjc"), QStringList{"BJLSAGS"});
        // Every reading: 石 shí and dàn.
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyzm"), QStringList{"BJLSdAGS"});
        for (int i = 0; i < 5; ++i)
            QVERIFY(edit(&w, QString("Text1_%1").arg(i))->text().isEmpty());
    }

    void addRefusesAnExistingNameExactly()
    {
        addCustomer("蓝石软件");
        reference::CustomerAddWindow w;
        w.show();
        const QStringList typed = {"蓝石软件", "1", "2", "3", "4"};
        for (int i = 0; i < 5; ++i)
            edit(&w, QString("Text1_%1").arg(i))->setText(typed[i]);
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("此客户已存在,请重新输入"));
        QCOMPARE(prompter->lastTitle(), QString("客户添加"));
        QCOMPARE(edit(&w, "Text1_0")->text(), QString("蓝石软件")); // kept
        // The same name with a blank around it is another name.
        edit(&w, "Text1_0")->setText("蓝石软件 ");
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), (QStringList{"蓝石软件", "蓝石软件 "}));
    }

    void addNamesTheFirstEmptyFieldInOrder()
    {
        reference::CustomerAddWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QStringList messages = {"请输入客户名称", "请输入帐号", "请输入开户行", "请输入省/市", "请输入市/县"};
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
            QCOMPARE(prompter->lastText(), messages[i]);
            QCOMPARE(prompter->lastTitle(), QString("客户添加"));
            QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
            QCOMPARE(QApplication::focusWidget(), edit(&w, QString("Text1_%1").arg(i)));
            edit(&w, QString("Text1_%1").arg(i))->setText(" "); // blanks count as content
        }
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 5);
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), QStringList{" "});
    }

    void addKeysAndCancel()
    {
        reference::CustomerAddWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        edit(&w, "Text1_0")->setFocus();
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), edit(&w, QString("Text1_%1").arg(i + 1)));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), button(&w, "Command1"));
        edit(&w, "Text1_3")->setFocus();
        QTest::keyClick(edit(&w, "Text1_3"), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text1_2"));
        QTest::keyClick(edit(&w, "Text1_2"), Qt::Key_Up); // only Down goes back
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text1_2"));
        edit(&w, "Text1_0")->setFocus();
        QTest::keyClick(edit(&w, "Text1_0"), Qt::Key_Down); // nowhere to go back to
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text1_0"));
        edit(&w, "Text1_0")->setText("x");
        edit(&w, "Text1_4")->setText("y");
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QVERIFY(edit(&w, "Text1_0")->text().isEmpty() && edit(&w, "Text1_4")->text().isEmpty());
        QVERIFY(prompter->prompts.isEmpty());
    }

    // ---- management --------------------------------------------------------------------------

    void manageShowsTheFirstRowLockedAndSavesTrimmedWithNewInitials()
    {
        addCustomer("甲公司");
        addCustomer("乙公司");
        reference::CustomerManageWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "khsz2");
        QCOMPARE(edit(&w, "Text1")->text(), QString("甲公司"));
        QVERIFY(!edit(&w, "Text1")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), button(&w, "Command1"));
        auto *grid = w.findChild<QTableView *>("DataGrid1");
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("账号"));

        // Pick the second row, modify it.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 0)).center());
        QCOMPARE(edit(&w, "Text1")->text(), QString("乙公司"));
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QVERIFY(w.isEditing());
        QVERIFY(!button(&w, "Command1")->isEnabled() && !button(&w, "Command2")->isEnabled() &&
                !button(&w, "Command5")->isEnabled());
        edit(&w, "Text1")->setText("  丙银行 ");
        edit(&w, "Text2")->setText(" 99 ");
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QVERIFY(!w.isEditing());
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), (QStringList{"甲公司", "丙银行"}));
        QCOMPARE(StoreFixture::column(customers(), "zhh"), (QStringList{"6222", "99"}));
        // Initials of the name as typed, then trimmed.
        QCOMPARE(StoreFixture::column(customers(), "gsmczmjc").value(1), QString("BYX"));
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyjc").value(1), QString("BYX"));
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyzm").value(1), QString("BYXh"));
        QCOMPARE(edit(&w, "Text1")->text(), QString("丙银行"));
    }

    // A rename onto another customer's name is refused as the add window refuses it; keeping the
    // own name (also with blanks the save trims) is no rename.
    void manageRefusesANameAnotherCustomerHas()
    {
        addCustomer("甲公司");
        addCustomer("乙公司");
        reference::CustomerManageWindow w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.customers().setCurrentRow(1);
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        edit(&w, "Text1")->setText(" 甲公司 ");
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("此客户已存在,请重新输入"));
        QVERIFY(w.isEditing());
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text1"));
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), (QStringList{"甲公司", "乙公司"}));

        prompter->clear();
        edit(&w, "Text1")->setText("乙公司 ");
        edit(&w, "Text2")->setText("7788");
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QVERIFY(prompter->prompts.isEmpty());
        QVERIFY(!w.isEditing());
        QCOMPARE(StoreFixture::column(customers(), "zhh"), (QStringList{"6222", "7788"}));
    }

    void manageCancelReturnsToTheRememberedRow()
    {
        addCustomer("甲");
        addCustomer("乙");
        addCustomer("丙");
        reference::CustomerManageWindow w;
        w.show();
        w.customers().setCurrentRow(1);
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton); // remembers 乙
        w.customers().setCurrentRow(2);
        edit(&w, "Text1")->setText("改过");
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(edit(&w, "Text1")->text(), QString("乙"));
        QVERIFY(!edit(&w, "Text1")->isEnabled());
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), (QStringList{"甲", "乙", "丙"}));
    }

    void manageEmptyFieldMessages()
    {
        addCustomer("甲");
        reference::CustomerManageWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        edit(&w, "Text3")->clear();
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入开户行"));
        QCOMPARE(prompter->lastTitle(), QString("客户管理"));
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text3"));
        edit(&w, "Text1")->clear();
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入公司名称"));
        QCOMPARE(StoreFixture::column(customers(), "khh"), QStringList{"工行"});
    }

    void manageDeleteRules_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("nowCurrent");
        QTest::addColumn<QString>("named");
        QTest::newRow("middle") << 1 << QStringList{"甲", "丙"} << "丙" << "乙";
        QTest::newRow("last") << 2 << QStringList{"甲", "乙"} << "甲" << "丙";
        QTest::newRow("first") << 0 << QStringList{"乙", "丙"} << "乙" << "甲";
    }
    void manageDeleteRules()
    {
        QFETCH(int, current);
        QFETCH(QStringList, left);
        QFETCH(QString, nowCurrent);
        QFETCH(QString, named);
        for (const char *n : {"甲", "乙", "丙"})
            addCustomer(QString::fromUtf8(n));
        reference::CustomerManageWindow w;
        w.show();
        w.customers().setCurrentRow(current);
        prompter->answer(ui::Cancel);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        // The question names the customer it would delete.
        QCOMPARE(prompter->lastText(), QString("确定要删除当前数据吗？\n\n客户名称：") + named);
        QCOMPARE(prompter->lastTitle(), QString("删除"));
        QCOMPARE(prompter->prompts.last().defaultButton, ui::Ok);
        QCOMPARE(StoreFixture::column(customers(), "gsmc").size(), 3);
        prompter->answer(ui::Ok);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), left);
        QCOMPARE(edit(&w, "Text1")->text(), nowCurrent);
        QCOMPARE(w.findChild<QTableView *>("DataGrid1")->model()->rowCount(), 2);
    }

    void manageRefusesToDeleteTheLastRow()
    {
        addCustomer("甲");
        addCustomer("乙");
        reference::CustomerManageWindow w;
        w.show();
        prompter->answer(ui::Ok);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("客户数据库不可为空"));
        QCOMPARE(prompter->lastTitle(), QString("警告"));
        QCOMPARE(StoreFixture::column(customers(), "gsmc"), QStringList{"乙"});
    }

    void manageWithNoCustomerAtAllDoesNotCrash()
    {
        reference::CustomerManageWindow w;
        w.show();
        QVERIFY(edit(&w, "Text1")->text().isEmpty());
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("没有可修改的客户"));
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("客户数据库不可为空"));
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton); // save with nothing shown
        QVERIFY(StoreFixture::column(customers(), "gsmc").isEmpty());
    }

    void manageActivationSeesRowsAddedElsewhere()
    {
        addCustomer("甲");
        reference::CustomerManageWindow w;
        w.show();
        QTest::mouseClick(button(&w, "Command5"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        addCustomer("乙");
        w.show();
        QCOMPARE(w.findChild<QTableView *>("DataGrid1")->model()->rowCount(), 2);
    }

    // The voucher windows' search in 客户管理: by name, by the initials of any reading of each
    // character, Enter in the field; then a found customer is modified and deleted by name.
    void manageFindsByNameAndByInitials()
    {
        for (const char *name : {"北京蓝石软件", "重庆长安物流有限公司", "厦门国贸", "长沙远大建材", "上海华东建材"}) {
            const QString n = QString::fromUtf8(name);
            const QString sets = text::readingSets(n);
            QVERIFY(StoreFixture::append(customers(), {n, "6222", "工行", "北京", "海淀", text::initials(n),
                                                       text::commonInitials(sets), sets}));
        }
        reference::CustomerManageWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *grid = w.findChild<QTableView *>("DataGrid1");
        const auto shown = [grid] {
            QStringList out;
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                out << grid->model()->index(r, 0).data().toString();
            return out;
        };
        QLineEdit *search = edit(&w, "txtSearch");
        const struct {
            const char *typed, *button;
            QStringList found;
        } searches[] = {
            {"华东", "cmdFind", {"上海华东建材"}},
            {"cqca", "cmdFindInitials", {"重庆长安物流有限公司"}},
            {"ZQZA", "cmdFindInitials", {"重庆长安物流有限公司"}}, // 重 zhòng, 长 zhǎng: other readings
            {"xm", "cmdFindInitials", {"厦门国贸"}},
            {"sm", "cmdFindInitials", {"厦门国贸"}},               // 厦 shà
            {"cs", "cmdFindInitials", {"长沙远大建材"}},
            {"jc", "cmdFindInitials", {"长沙远大建材", "上海华东建材"}},
            {"ｌｓｒｊ", "cmdFindInitials", {"北京蓝石软件"}},      // typed with the input method on
        };
        for (const auto &s : searches) {
            search->setText(QString::fromUtf8(s.typed));
            QTest::mouseClick(button(&w, s.button), Qt::LeftButton);
            QCOMPARE(shown(), s.found);
            QCOMPARE(edit(&w, "Text1")->text(), s.found.first()); // the first found, in the fields
            if (s.found.size() > 1)
                saveScreenshot(&w, "khsz2_search");
        }
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));

        // Enter in the field searches by name; nothing found asks, and 是 starts again.
        search->setText("物流");
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(shown(), QStringList{"重庆长安物流有限公司"});
        search->setText("没有的");
        prompter->answer(ui::Yes);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(prompter->lastText(), QString("没有查询到客户，是否重新查询？"));
        QCOMPARE(prompter->lastTitle(), QString("客户查询"));
        QCOMPARE(shown().size(), 5);
        QVERIFY(search->text().isEmpty());
        QTest::mouseClick(button(&w, "cmdFind"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入公司名称"));

        // A customer found is modified in place; the search waits while the fields are edited.
        search->setText("jc");
        QTest::mouseClick(button(&w, "cmdFindInitials"), Qt::LeftButton);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 0)).center());
        QCOMPARE(edit(&w, "Text1")->text(), QString("上海华东建材"));
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        for (const char *control : {"txtSearch", "cmdFind", "cmdFindInitials", "cmdShowAll"})
            QVERIFY2(!w.findChild<QWidget *>(control)->isEnabled(), control);
        edit(&w, "Text2")->setText("9558");
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QVERIFY(search->isEnabled());
        QCOMPARE(StoreFixture::column(customers(), "zhh"), (QStringList{"6222", "6222", "6222", "6222", "9558"}));
        prompter->answer(ui::Cancel);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("确定要删除当前数据吗？\n\n客户名称：上海华东建材"));
        // 刷新 lists every customer again.
        QTest::mouseClick(button(&w, "cmdShowAll"), Qt::LeftButton);
        QCOMPARE(shown().size(), 5);
        QVERIFY(search->text().isEmpty());
    }

    // ---- picker and search -------------------------------------------------------------------

    void pickerHandsTheNameBackForEveryVoucherTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("accepted");
        for (const QString &tag : reference::customerPickerTags())
            QTest::newRow(qPrintable(tag)) << tag << true;
        QTest::newRow("支票打印") << "支票打印" << false;
        QTest::newRow("empty") << "" << false;
    }
    void pickerHandsTheNameBackForEveryVoucherTag()
    {
        QFETCH(QString, tag);
        QFETCH(bool, accepted);
        addCustomer("北京甲");
        addCustomer("上海乙");
        addCustomer("上海丙");
        FakeVoucher voucher;
        QPointer<reference::CustomerPicker> picker = new reference::CustomerPicker(tag, voucher.search.get(), &voucher.window);
        picker->show();
        saveScreenshot(picker, "xzgsmc");
        QCOMPARE(picker->findChild<QLineEdit *>("Text1")->text(), QString("北京甲"));
        auto *grid = picker->findChild<QTableView *>("DataGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
        QCOMPARE(picker->findChild<QLineEdit *>("Text1")->text(), QString("上海丙"));
        picker->findChild<QLineEdit *>("Text1")->setText("上海");
        QTest::mouseClick(picker->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        if (accepted) {
            QTRY_VERIFY(picker.isNull());
            QCOMPARE(voucher.text7->text(), QString("上海"));
            QCOMPARE(voucher.search->customers().recordCount(), 2);
            QCOMPARE(voucher.search->customers().text("gsmc"), QString("上海乙"));
        } else {
            QVERIFY(picker && picker->isVisible());
            QVERIFY(voucher.text7->text().isEmpty());
            QCOMPARE(voucher.search->customers().recordCount(), 3);
            delete picker;
        }
    }

    void searchFindsByInitialsInSmallLetters()
    {
        addCustomer("北京蓝石软件");
        addCustomer("中国工商银行");
        FakeVoucher v;
        v.text43->setText("gsyx");
        QTest::mouseClick(v.byInitials, Qt::LeftButton);
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(v.search->customers().recordCount(), 1);
        QCOMPARE(v.payee->text(), QString("中国工商银行"));
        QCOMPARE(QApplication::focusWidget(), v.amount);
        QCOMPARE(v.grid->model()->rowCount(), 1);
        // A click on a grid row takes that customer over.
        v.text43->setText("京");
        QTest::mouseClick(v.byName, Qt::LeftButton);
        QCOMPARE(v.payee->text(), QString("北京蓝石软件"));
        QCOMPARE(QApplication::focusWidget(), v.text43);
        // Letters typed with a Chinese input method on are full-width.
        v.text43->setText("ＧＳｙｘ");
        QTest::mouseClick(v.byInitials, Qt::LeftButton);
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(v.payee->text(), QString("中国工商银行"));
    }

    // Customers saved through the add window, searched by what a clerk types: the letters of the
    // readings, and still every text the interval rule's initials answered before.
    void searchByInitialsFindsEitherForm_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("鑫达 by its reading") << "xdjc" << QStringList{"鑫达建材有限公司"};
        QTest::newRow("鑫达 as before") << "zdjc" << QStringList{"鑫达建材有限公司"};
        QTest::newRow("晟泰") << "st" << QStringList{"晟泰科技"};
        QTest::newRow("昊天") << "HTMY" << QStringList{"昊天贸易"};
        QTest::newRow("晟泰 and 昊天 as before") << "zt" << QStringList{"晟泰科技", "昊天贸易"};
        QTest::newRow("level 1, whole") << "zggsyx" << QStringList{"中国工商银行"};
        QTest::newRow("行 read háng") << "zggsyh" << QStringList{"中国工商银行"};
        QTest::newRow("level 1, part") << "lsrj" << QStringList{"北京蓝石软件"};
        QTest::newRow("either, several") << "gs" << QStringList{"鑫达建材有限公司", "中国工商银行"};
        QTest::newRow("neither") << "xdt" << QStringList{};
    }
    void searchByInitialsFindsEitherForm()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        {
            reference::CustomerAddWindow add;
            add.show();
            for (const char *name : {"鑫达建材有限公司", "晟泰科技", "昊天贸易", "中国工商银行", "北京蓝石软件"}) {
                edit(&add, "Text1_0")->setText(QString::fromUtf8(name));
                for (int i = 1; i < 5; ++i)
                    edit(&add, QString("Text1_%1").arg(i))->setText("x");
                QTest::mouseClick(button(&add, "Command1"), Qt::LeftButton);
            }
            QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        }
        FakeVoucher v;
        v.text43->setText(typed);
        QTest::mouseClick(v.byInitials, Qt::LeftButton);
        if (found.isEmpty()) {
            QCOMPARE(prompter->lastText(), QStringLiteral("没有查询到客户，是否重新查询？"));
            return;
        }
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->lastText()));
        QStringList names;
        for (int r = 0; r < v.search->customers().recordCount(); ++r)
            names << v.search->customers().textAt(r, 0);
        QCOMPARE(names, found);
        QCOMPARE(v.payee->text(), found.first());
    }

    void searchTextsMatchThemselves_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found");
        QTest::newRow("quote") << "O'Brien" << 1;
        QTest::newRow("percent") << "100%" << 1;
        QTest::newRow("underscore") << "a_b" << 1;
        QTest::newRow("blanks only") << "   " << 5;
        QTest::newRow("mixed case") << "o'bRIEN" << 1;
    }
    void searchTextsMatchThemselves()
    {
        QFETCH(QString, typed);
        QFETCH(int, found);
        for (const char *n : {"O'Brien Ltd", "100%纯", "1000纯", "a_b公司", "axb公司"})
            addCustomer(QString::fromUtf8(n));
        FakeVoucher v;
        v.text43->setText(typed);
        QTest::mouseClick(v.byName, Qt::LeftButton);
        QCOMPARE(v.search->customers().recordCount(), found);
        QVERIFY(prompter->prompts.isEmpty());
    }

    void searchWithAnEmptyFieldSaysSo()
    {
        addCustomer("甲");
        FakeVoucher v;
        v.amount->setFocus();
        QTest::mouseClick(v.byName, Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入公司名称"));
        QCOMPARE(prompter->lastTitle(), QString("信息提示"));
        QTest::mouseClick(v.byInitials, Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入公司名称的字母简称，如蓝石软件输入lsrj"));
        QCOMPARE(QApplication::focusWidget(), v.text43);
        QCOMPARE(v.takeOvers, 0);
    }

    void searchWithNoResultAsksAgain_data()
    {
        QTest::addColumn<bool>("again");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void searchWithNoResultAsksAgain()
    {
        QFETCH(bool, again);
        addCustomer("甲");
        addCustomer("乙");
        FakeVoucher v;
        v.text43->setText("没有这个");
        prompter->answer(again ? ui::Yes : ui::No);
        QTest::mouseClick(v.byName, Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("没有查询到客户，是否重新查询？"));
        QCOMPARE(prompter->lastTitle(), QString("客户查询"));
        QCOMPARE(prompter->prompts.last().buttons, ui::Buttons(ui::Yes | ui::No));
        QCOMPARE(v.search->customers().recordCount(), 2); // back to every customer
        if (again) {
            QVERIFY(v.text43->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), v.text43);
            QCOMPARE(v.takeOvers, 0);
        } else {
            QCOMPARE(v.payee->text(), QString("甲"));
            QCOMPARE(QApplication::focusWidget(), v.exit);
        }
    }
};

QTEST_MAIN(TestCustomers)
#include "tst_customers.moc"
