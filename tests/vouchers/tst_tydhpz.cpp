// The general wire voucher window and the general layout settings form as the clerk uses them.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/profile.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "vouchers/generalwirewindow.h"
#include "vouchers/generallayoutwindow.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::generalLayout;
using store::statements::history;

namespace {

QDateEdit *datePicker(QWidget *w) { return w->findChild<QDateEdit *>(QStringLiteral("DTPicker1")); }

void fill(GeneralWireWindow *w)
{
    type(edit(w, "Text39"), QStringLiteral("TY-0001"));
    datePicker(w)->setDate(QDate(2010, 4, 14));
    click(w, "Command1");
    type(edit(w, "Text8"), QStringLiteral("100"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

void addCustomers()
{
    for (const auto &[name, account, province, city] :
         {std::tuple{"杭州西湖茶叶有限公司", "6001", "浙江", "杭州"}, {"杭州钱塘建材有限公司", "6002", "浙江", "杭州"},
          {"杭州之江电子有限公司", "6003", "浙江", "萧山"}})
        QVERIFY(StoreFixture::append(customers(), {name, account, "杭州银行", province, city, ""}));
}

// Runs SQL on the test database through a connection of its own.
bool execute(const QString &sql)
{
    store::Connection c;
    QSqlQuery q(c.database());
    return q.exec(sql);
}

} // namespace

class TestGeneralWire : public WindowTest {
    Q_OBJECT

    std::unique_ptr<Harness<GeneralWireWindow>> h;

private slots:

    void init()
    {
        WindowTest::init();
        // The own company with its places.
        QVERIFY(setOwnCompany(kOwnName, kOwnBank, kOwnAccount));
        QVERIFY(execute(QStringLiteral("update bssz set hp = '北京', hc = '朝阳'")));
        h = std::make_unique<Harness<GeneralWireWindow>>();
    }

    void cleanup()
    {
        h.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        WindowTest::cleanup();
    }

    // Place option off (the key missing counts as 0): the four places stay empty whichever way
    // the payee is chosen; on, they follow the payer and the payee.
    void placeOptionOffKeepsThePlacesEmpty()
    {
        addCustomers();
        GeneralWireWindow *w = h->open();
        QCOMPARE(w->placeOption(), QString());
        const char *places[] = {"Text4", "Text5", "Text6", "Text21"};
        auto placesEmpty = [&] {
            for (const char *p : places)
                if (!edit(w, p)->text().isEmpty())
                    return false;
            return true;
        };
        QVERIFY(placesEmpty());
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("杭州钱塘建材有限公司"));
        QVERIFY(placesEmpty());
        edit(w, "Text43")->setText(QStringLiteral("之江"));
        click(w, "Command5");
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("杭州之江电子有限公司"));
        QVERIFY(placesEmpty());
        QVERIFY(pickCustomer(w, "Command6", QStringLiteral("杭州西湖"), QStringLiteral("通用电汇凭证")));
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("杭州西湖茶叶有限公司"));
        QVERIFY(placesEmpty());
        // On: the places of both parties.
        QTest::mouseClick(w->findChild<QRadioButton *>(QStringLiteral("Option1")), Qt::LeftButton);
        QCOMPARE(edit(w, "Text4")->text(), QStringLiteral("北京"));
        QCOMPARE(edit(w, "Text5")->text(), QStringLiteral("朝阳"));
        QCOMPARE(edit(w, "Text6")->text(), QStringLiteral("浙江"));
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("杭州"));
        fill(w);
        click(w, "Command3");
        QCOMPARE(printedAt(h->recorder.placedTexts(), 7200, 1516), QStringLiteral("杭州"));
    }

    void rememberingThePlaceOptionWritesOnlyItsKey()
    {
        const QString file = store::appFile(QStringLiteral("mqtx.ini"));
        const QByteArray before = "; the cheque's settings\r\n[MyApp]\r\ntext1=57\r\ntext99=1\r\n\r\n[Other]\r\nx=y\r\n";
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        GeneralWireWindow *w = h->open();
        QTest::mouseClick(w->findChild<QRadioButton *>(QStringLiteral("Option1")), Qt::LeftButton);
        click(w, "Command9");
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        QVERIFY2(after.startsWith(before.left(before.indexOf("\r\n\r\n[Other]"))), after.constData());
        QVERIFY2(after.contains("text119=1"), after.constData());
        QVERIFY2(after.endsWith("[Other]\r\nx=y\r\n"), after.constData());
        QCOMPARE(after.size(), before.size() + qsizetype(QByteArray("text119=1\r\n").size()));
        // The next opening reads it.
        h.reset();
        h = std::make_unique<Harness<GeneralWireWindow>>();
        QCOMPARE(h->open()->placeOption(), QStringLiteral("1"));
    }

    // The third hit of a search, a purpose picked, the layout saved on the settings tab: the
    // voucher still goes to the third hit, hand edits and all.
    void savingTheLayoutKeepsThePayeeAndTheEdits()
    {
        addCustomers();
        GeneralWireWindow *w = h->open();
        edit(w, "Text43")->setText(QStringLiteral("杭州"));
        click(w, "Command5");
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("杭州之江电子有限公司"));
        edit(w, "Text3")->setText(QStringLiteral("北京示例商贸有限公司（总部）"));
        click(w, "Command2");
        auto *purposes = w->findChild<QWidget *>(QStringLiteral("xzyt"));
        QVERIFY(purposes);
        QPointer<QWidget> gone = purposes;
        click(purposes, "Command1");
        QTRY_VERIFY(gone.isNull());
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        click(w, "Command13");
        edit(w, "Text99")->setText(QStringLiteral("1")); // the payee's name 1 mm right
        click(w, "Command12");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("杭州之江电子有限公司"));
        QCOMPARE(edit(w, "Text3")->text(), QStringLiteral("北京示例商贸有限公司（总部）"));
        fill(w);
        click(w, "Command3");
        QCOMPARE(StoreFixture::column(history(), "skrmc"), QStringList{"杭州之江电子有限公司"});
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), QStringList{"6003"});
        QCOMPARE(printedAt(h->recorder.placedTexts(), 6066 + 57, 816), QStringLiteral("杭州之江电子有限公司"));
    }

    void historyRowWithoutThePassword()
    {
        GeneralWireWindow *w = h->open();
        fill(w);
        type(edit(w, "Text40"), QStringLiteral("PW-98765"));
        click(w, "Command3");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        const QList<std::pair<const char *, QString>> expected = {
            {"fkrq", "2010-04-14"},   {"pzlx", "汇款凭证"},   {"pzhm", "TY-0001"}, {"fkje", "100"},
            {"fkyt", "货款"},         {"fkrmc", kOwnName},    {"fkrzhh", kOwnAccount}, {"fkrkhh", kOwnBank},
            {"skrmc", kCustomer},     {"skrzhh", kCustomerAccount}, {"skrkhh", kCustomerBank},
        };
        for (const auto &[column, value] : expected)
            QCOMPARE(StoreFixture::column(history(), QString::fromLatin1(column)), QStringList{value});
        // The password is printed and appears nowhere in the history.
        QCOMPARE(printedAt(h->recorder.placedTexts(), 6066, 3000), QStringLiteral("PW-98765"));
        store::Connection c;
        QSqlQuery q(c.database());
        QVERIFY(q.exec(QStringLiteral("select * from dyb")));
        while (q.next())
            for (int i = 0; i < q.record().count(); ++i)
                QVERIFY(!q.value(i).toString().contains(QStringLiteral("98765")));
        // Nor is the voucher number printed.
        for (const PlacedText &t : h->recorder.placedTexts())
            QVERIFY(t.text != QStringLiteral("TY-0001"));
    }

    void checksInOrder()
    {
        GeneralWireWindow *w = h->open();
        const QList<std::tuple<QString, QWidget *, std::function<void()>>> steps = {
            {"请输入凭证号", edit(w, "Text39"), [w] { type(edit(w, "Text39"), QStringLiteral("1")); }},
            {"请确认日期", button(w, "Command1"), [w] { click(w, "Command1"); }},
            {"请输入金额", edit(w, "Text8"), [w] { type(edit(w, "Text8"), QStringLiteral("5")); }},
            {"请输入用途", edit(w, "Text19"), [w] { type(edit(w, "Text19"), QStringLiteral("x")); }},
        };
        for (const auto &[message, focus, mend] : steps) {
            prompter->clear();
            click(w, "Command3");
            QCOMPARE(prompter->texts(), QStringList{message});
            QCOMPARE(w->focusWidget(), focus);
            mend();
        }
        prompter->clear();
        click(w, "Command3");
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(h->prints, 1);
    }

    // A value changed in the settings form moves the printed field by that many × 57 twips.
    void settingsFormMovesTheVoucher()
    {
        QPointer<GeneralLayoutWindow> form = new GeneralLayoutWindow;
        form->show();
        QVERIFY(!edit(form, "Text1")->isReadOnly() == false);
        QVERIFY(button(form, "Command2")->isEnabled()); // 保存 and 取消 are there from the start
        click(form, "Command1");
        QVERIFY(!button(form, "Command1")->isEnabled());
        QVERIFY(!button(form, "Command4")->isEnabled());
        QVERIFY(!edit(form, "Text1")->isReadOnly());
        edit(form, "Text19")->setText(QStringLiteral("2.5")); // 委托日期年, left/right
        edit(form, "Text4")->setText(QStringLiteral("-0.5"));  // 委托日期月, up/down
        edit(form, "Text74")->setText(QStringLiteral("3mm"));  // cell spacing
        click(form, "Command2");
        QVERIFY(prompter->prompts.isEmpty());
        QVERIFY(edit(form, "Text19")->isReadOnly());
        QVERIFY(button(form, "Command1")->isEnabled());
        QVERIFY(!button(form, "Command2")->isEnabled());
        QCOMPARE(edit(form, "Text19")->text(), QStringLiteral("2")); // kept as 142.5, shown floored
        QCOMPARE(edit(form, "Text4")->text(), QStringLiteral("-1"));
        QCOMPARE(StoreFixture::column(generalLayout(), "rqnl"), QStringList{"142.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "rqyu"), QStringList{"-28.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "jexxjg"), QStringList{"171"});
        QCOMPARE(StoreFixture::column(generalLayout(), "rqnu"), QStringList{"0"});
        click(form, "Command4");
        QTRY_VERIFY(form.isNull());

        GeneralWireWindow *w = h->open();
        fill(w);
        click(w, "Command3");
        const QList<PlacedText> texts = h->recorder.placedTexts();
        QVERIFY(textAt(texts, 4166 + 142.5, 525));
        QVERIFY(textAt(texts, 5241, 525 - 28.5));
        QVERIFY(textAt(texts, 6508 + 292 * 10 + 171 * 10, 2450)); // 分, ten spacings along
        // The voucher's tab shows the same row in whole millimetres.
        QCOMPARE(edit(w, "Text85")->text(), QStringLiteral("2"));
        QCOMPARE(edit(w, "Text117")->text(), QStringLiteral("3"));
    }

    void settingsFormCancelSaveAndAMissingRow()
    {
        QVERIFY(execute(QStringLiteral("update tydysz set mmjg = 142.5, hkrzhhl = 28.5")));
        QPointer<GeneralLayoutWindow> form = new GeneralLayoutWindow;
        form->show();
        QCOMPARE(edit(form, "Text73")->text(), QStringLiteral("2"));
        QVERIFY(!edit(form, "Text73")->isVisible()); // the password spacing is kept, not shown
        click(form, "Command1");
        edit(form, "Text1")->setText(QStringLiteral("9"));
        click(form, "Command3"); // 取消: the stored values again, nothing stored
        QCOMPARE(edit(form, "Text1")->text(), QStringLiteral("0"));
        QVERIFY(edit(form, "Text1")->isReadOnly());
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtl"), QStringList{"0"});
        // Saved with another box changed, the boxes left as shown keep their half millimetres.
        click(form, "Command1");
        edit(form, "Text1")->setText(QStringLiteral("1"));
        click(form, "Command2");
        QCOMPARE(StoreFixture::column(generalLayout(), "mmjg"), QStringList{"142.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "hkrzhhl"), QStringList{"28.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtl"), QStringList{"57"});
        delete form.data();

        // The row gone: zeros shown, and saving puts the one row back.
        StoreFixture::removeAll(generalLayout());
        form = new GeneralLayoutWindow;
        form->show();
        QCOMPARE(edit(form, "Text1")->text(), QStringLiteral("0"));
        click(form, "Command1");
        edit(form, "Text2")->setText(QStringLiteral("1"));
        click(form, "Command2");
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtu"), QStringList{"57"});
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtl").size(), 1);
        delete form.data();

        // A refused commit is told and keeps the typed values.
        QVERIFY(execute(QStringLiteral(
            "create trigger no_layout before update on tydysz begin select raise(abort, 'read only'); end")));
        form = new GeneralLayoutWindow;
        form->show();
        click(form, "Command1");
        edit(form, "Text2")->setText(QStringLiteral("5"));
        click(form, "Command2");
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().startsWith(QStringLiteral("设置没有保存")), qPrintable(prompter->lastText()));
        QCOMPARE(edit(form, "Text2")->text(), QStringLiteral("5"));
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtu"), QStringList{"57"});
        delete form.data();
    }

    // A column the voucher's tab has no box for keeps its value when the tab saves.
    void voucherTabSaveKeepsColumnsWithoutABox()
    {
        QVERIFY(execute(QStringLiteral("update tydysz set skrzhhl = 85.5, hrhmcu = -57")));
        GeneralWireWindow *w = h->open();
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        click(w, "Command13");
        QVERIFY(!button(w, "Command10")->isEnabled());
        edit(w, "Text83")->setText(QStringLiteral("1.5"));
        click(w, "Command12");
        QVERIFY(button(w, "Command10")->isEnabled());
        QCOMPARE(edit(w, "Text83")->text(), QStringLiteral("1.5")); // the box keeps what was typed
        QCOMPARE(StoreFixture::column(generalLayout(), "zhtl"), QStringList{"85.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "skrzhhl"), QStringList{"85.5"});
        QCOMPARE(StoreFixture::column(generalLayout(), "hrhmcu"), QStringList{"-57"});
    }

    void voucherOnPaper()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QVERIFY(execute(QStringLiteral("update tydysz set zhtl = 57, skrqcu = 114")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("通用电汇.pdf"));
        GeneralWireWindow *w = h->open();
        w->setPrintPath([pdf](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            if (!savePdf(routine, pdf))
                return PrintOutcome::Failed;
            issued();
            return PrintOutcome::SavedPdf;
        });
        fill(w);
        click(w, "Command3");
        const QList<pdftools::Word> words = pdftools::words(pdf);
        const pdftools::Word *payee = pdftools::find(words, kCustomer);
        QVERIFY(payee);
        const QString where = QStringLiteral("payee at (%1, %2)").arg(payee->box.left() * 20).arg(payee->box.top() * 20);
        QVERIFY2(qAbs(payee->box.left() * 20 - (57 + 6066)) <= 2 && qAbs(payee->box.top() * 20 - (114 + 816)) <= 2,
                 qPrintable(where));
        const QString shots = qEnvironmentVariable("LANSHI_SCREENSHOTS");
        if (!shots.isEmpty()) {
            QFile::copy(pdf, QDir(shots).filePath(QStringLiteral("tydhpz-form.pdf")));
            saveScreenshot(w, QStringLiteral("tydhpz"));
            w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
            saveScreenshot(w, QStringLiteral("tydhpz-settings"));
            GeneralLayoutWindow form;
            form.show();
            saveScreenshot(&form, QStringLiteral("tydysz"));
        }
        QVERIFY2(w->sizeHint().width() <= 1024 && w->sizeHint().height() <= 740,
                 qPrintable(QStringLiteral("%1 x %2").arg(w->sizeHint().width()).arg(w->sizeHint().height())));
    }
};

QTEST_MAIN(TestGeneralWire)
#include "tst_tydhpz.moc"
