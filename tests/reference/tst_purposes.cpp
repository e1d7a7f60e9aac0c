// Purpose windows and the own-company window.

#include "reference/owncompany.h"
#include "reference/picktargets.h"
#include "reference/purposes.h"
#include "scriptedprompter.h"
#include "screenshot.h"
#include "storefixture.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

using store::statements::ownCompany;
using store::statements::purposes;

namespace {

QLineEdit *edit(QWidget *w, const QString &name) { return w->findChild<QLineEdit *>(name); }
QPushButton *button(QWidget *w, const QString &name) { return w->findChild<QPushButton *>(name); }

void setPurposes(const QStringList &texts)
{
    StoreFixture::removeAll(purposes());
    for (const QString &t : texts)
        QVERIFY(StoreFixture::append(purposes(), {t}));
}

// A voucher stand-in that records every text the purpose picker hands over.
struct PurposeCaller : reference::PurposePickTarget {
    QStringList received;
    void setPurposeText(const QString &text) override { received << text; }
};

} // namespace

class TestPurposes : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

private slots:
    void initTestCase() { ui::installChineseFonts(); }
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
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void addRefusesEmptyAndRepeatedPurposes()
    {
        setPurposes({"货款"});
        reference::PurposeAddWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "ytsz1");
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text1"));
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入用途"));
        QCOMPARE(prompter->lastTitle(), QString("用途"));
        edit(&w, "Text1")->setText("货款");
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("此用途已存在,请重新输入"));
        QCOMPARE(prompter->lastTitle(), QString("用途添加"));
        QCOMPARE(edit(&w, "Text1")->text(), QString("货款"));
        // 取消 leaves the text alone; a new purpose is stored as typed, blanks included.
        edit(&w, "Text1")->setText(" 50%_预付 ");
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(edit(&w, "Text1")->text(), QString(" 50%_预付 "));
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(purposes(), "yt"), (QStringList{"货款", " 50%_预付 "}));
        QVERIFY(edit(&w, "Text1")->text().isEmpty());
        QCOMPARE(prompter->prompts.size(), 2);
    }

    void manageSavesTrimmedAndCancelReturns()
    {
        setPurposes({"货款", "工资", "差旅费"});
        reference::PurposeManageWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "ytsz2");
        QCOMPARE(edit(&w, "Text1")->text(), QString("货款"));
        QVERIFY(!edit(&w, "Text1")->isEnabled());
        w.purposes().setCurrentRow(1);
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QVERIFY(edit(&w, "Text1")->isEnabled());
        QVERIFY(!button(&w, "Command5")->isEnabled());
        edit(&w, "Text1")->setText("  奖金  ");
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(purposes(), "yt"), (QStringList{"货款", "奖金", "差旅费"}));
        QCOMPARE(edit(&w, "Text1")->text(), QString("奖金"));

        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        edit(&w, "Text1")->clear();
        QTest::mouseClick(button(&w, "Command4"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入用途"));
        QCOMPARE(prompter->lastTitle(), QString("用途修改"));
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(edit(&w, "Text1")->text(), QString("奖金"));
    }

    void manageDeleteRules()
    {
        setPurposes({"甲", "乙", "丙"});
        reference::PurposeManageWindow w;
        w.show();
        w.purposes().setCurrentRow(2);
        prompter->answer(ui::Ok);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("是否确定删除?"));
        QCOMPARE(prompter->lastTitle(), QString("删除当前"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::None);
        QCOMPARE(StoreFixture::column(purposes(), "yt"), (QStringList{"甲", "乙"}));
        QCOMPARE(edit(&w, "Text1")->text(), QString("甲")); // the last went: the first is current
        prompter->answer(ui::Ok);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(edit(&w, "Text1")->text(), QString("乙"));
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("客户数据库不可为空"));
        QCOMPARE(StoreFixture::column(purposes(), "yt"), QStringList{"乙"});
    }

    void emptyPurposeListNeverCrashes()
    {
        setPurposes({});
        reference::PurposeManageWindow w;
        w.show();
        QVERIFY(edit(&w, "Text1")->text().isEmpty());
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        PurposeCaller caller;
        auto *picker = new reference::PurposePicker("支票打印", &caller);
        picker->show();
        QVERIFY(edit(picker, "Text1")->text().isEmpty());
        delete picker;
    }

    void pickerEmptiesThenFillsTheCallersField_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("accepted");
        for (const QString &tag : reference::purposePickerTags())
            QTest::newRow(qPrintable(tag)) << tag << true;
        QTest::newRow("支票") << "支票" << false;
    }
    void pickerEmptiesThenFillsTheCallersField()
    {
        QFETCH(QString, tag);
        QFETCH(bool, accepted);
        setPurposes({"货款", "工资"});
        PurposeCaller caller;
        QPointer<reference::PurposePicker> picker = new reference::PurposePicker(tag, &caller);
        picker->show();
        saveScreenshot(picker, "xzyt");
        QCOMPARE(picker->findChild<QLabel *>("Label1")->text(), tag);
        // Without a click the first row's purpose goes back.
        QTest::mouseClick(button(picker, "Command1"), Qt::LeftButton);
        if (accepted) {
            QTRY_VERIFY(picker.isNull());
            QCOMPARE(caller.received, (QStringList{"", "货款"}));
        } else {
            QVERIFY(picker->isVisible());
            QVERIFY(caller.received.isEmpty());
            delete picker;
        }
    }

    void pickerTakesTheClickedOrTypedText()
    {
        setPurposes({"货款", "工资"});
        PurposeCaller caller;
        QPointer<reference::PurposePicker> picker = new reference::PurposePicker("进账单", &caller);
        picker->show();
        auto *grid = picker->findChild<QTableView *>("DataGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 0)).center());
        QCOMPARE(edit(picker, "Text1")->text(), QString("工资"));
        edit(picker, "Text1")->setText("自填用途");
        QTest::mouseClick(button(picker, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(picker.isNull());
        QCOMPARE(caller.received.last(), QString("自填用途"));
    }

    // ---- own company -------------------------------------------------------------------------

    void ownCompanySavesTrimmedAndNamesTheEmptyField()
    {
        reference::OwnCompanyWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "bssz");
        const QString stored = StoreFixture::column(ownCompany(), "gsmc").value(0);
        QCOMPARE(edit(&w, "Text1")->text(), stored);
        QVERIFY(!edit(&w, "Text1")->isEnabled());
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        QVERIFY(!button(&w, "Command1")->isEnabled() && !button(&w, "Command4")->isEnabled());
        edit(&w, "Text1")->setText("  新公司  ");
        edit(&w, "Text2")->clear();
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入开户行"));
        QCOMPARE(prompter->lastTitle(), QString("客户管理"));
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text2"));
        edit(&w, "Text2")->setText(" 建行 ");
        edit(&w, "Text3")->clear();
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QString("请输入帐号"));
        QCOMPARE(QApplication::focusWidget(), edit(&w, "Text3"));
        edit(&w, "Text3")->setText("123 ");
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(ownCompany(), "gsmc"), QStringList{"新公司"});
        QCOMPARE(StoreFixture::column(ownCompany(), "khh"), QStringList{"建行"});
        QCOMPARE(StoreFixture::column(ownCompany(), "zhh"), QStringList{"123"});
        QCOMPARE(edit(&w, "Text1")->text(), QString("新公司"));
        QVERIFY(!edit(&w, "Text1")->isEnabled());
    }

    void ownCompanyCancelRestoresAndEnterChains()
    {
        reference::OwnCompanyWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString stored = edit(&w, "Text1")->text();
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        for (const char *name : {"Text1", "Text2", "Text3", "Text4"}) {
            edit(&w, name)->setFocus();
            QTest::keyClick(edit(&w, name), Qt::Key_Return);
            QVERIFY(QApplication::focusWidget() != edit(&w, name));
        }
        QTest::keyClick(edit(&w, "Text5"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), button(&w, "Command3"));
        edit(&w, "Text1")->setText("改了");
        QTest::mouseClick(button(&w, "Command2"), Qt::LeftButton);
        QCOMPARE(edit(&w, "Text1")->text(), stored);
        QCOMPARE(StoreFixture::column(ownCompany(), "gsmc"), QStringList{stored});
    }

    void ownCompanyWithoutItsRowPutsItBack()
    {
        StoreFixture::removeAll(ownCompany());
        reference::OwnCompanyWindow w;
        w.show();
        QVERIFY(edit(&w, "Text1")->text().isEmpty());
        QTest::mouseClick(button(&w, "Command1"), Qt::LeftButton);
        const QStringList values = {"甲", "乙", "丙", "丁", "戊"};
        for (int i = 0; i < 5; ++i)
            edit(&w, QString("Text%1").arg(i + 1))->setText(values[i]);
        QTest::mouseClick(button(&w, "Command3"), Qt::LeftButton);
        QCOMPARE(StoreFixture::column(ownCompany(), "hc"), QStringList{"戊"});
    }
};

QTEST_MAIN(TestPurposes)
#include "tst_purposes.moc"
