// The payment notice window as the clerk uses it: entries, checks, the history row, its edited
// fields across hiding and reopening, the calibration, and the two copies on paper.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/profile.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "vouchers/noticewindow.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::history;

namespace {

QDateEdit *datePicker(QWidget *w) { return w->findChild<QDateEdit *>(QStringLiteral("DTPicker1")); }

void fill(NoticeWindow *w)
{
    type(edit(w, "Text40"), QStringLiteral("JK-0001"));
    datePicker(w)->setDate(QDate(2010, 4, 14));
    click(w, "Command1");
    type(edit(w, "Text8"), QStringLiteral("12.30"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

} // namespace

class TestNoticeWindow : public WindowTest {
    Q_OBJECT

    std::unique_ptr<Harness<NoticeWindow>> h;

private slots:

    void init()
    {
        WindowTest::init();
        h = std::make_unique<Harness<NoticeWindow>>();
    }

    void cleanup()
    {
        h.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        WindowTest::cleanup();
    }

    void opensWithTheCustomerAsPayerAndTheOwnCompanyAsPayee()
    {
        NoticeWindow *w = h->open();
        QCOMPARE(w->windowTitle(), QStringLiteral("交款单打印"));
        QCOMPARE(edit(w, "Text3")->text(), kCustomer);
        QCOMPARE(edit(w, "Text30")->text(), kCustomerBank);
        QCOMPARE(edit(w, "Text25")->text(), kOwnName);
        QCOMPARE(edit(w, "Text23")->text(), kOwnBank);
        // Payer, payee and the lower texts are the clerk's to change.
        for (const char *name : {"Text3", "Text22", "Text30", "Text25", "Text2", "Text23", "Text21", "Text24",
                                 "Text20", "Text26"})
            QVERIFY2(!edit(w, name)->isReadOnly(), name);
        for (const KeyBox &kb : noticeKeyBoxes())
            QVERIFY2(w->findChild<QLineEdit *>(kb.box)->isReadOnly(), qPrintable(kb.box));
        // Every entry of the lower part is copied as it is typed.
        type(edit(w, "Text4"), QStringLiteral("现金"));
        type(edit(w, "Text5"), QStringLiteral("上海市浦东新区"));
        type(edit(w, "Text19"), QStringLiteral("货款"));
        type(edit(w, "Text6"), QStringLiteral("补交"));
        QCOMPARE(edit(w, "Text21")->text(), QStringLiteral("现金"));
        QCOMPARE(edit(w, "Text24")->text(), QStringLiteral("上海市浦东新区"));
        QCOMPARE(edit(w, "Text20")->text(), QStringLiteral("货款"));
        QCOMPARE(edit(w, "Text26")->text(), QStringLiteral("补交"));
        // 12.30: 十 1, 元 2, 角 3, 分 0, ￥ in 百.
        type(edit(w, "Text8"), QStringLiteral("12.30"));
        QCOMPARE(edit(w, "Text28")->text(), QStringLiteral("壹拾贰元叁角整"));
        QCOMPARE(edit(w, "Text12")->text(), QStringLiteral("1"));
        QCOMPARE(edit(w, "Text9")->text(), QStringLiteral("0"));
        QCOMPARE(edit(w, "Text13")->text(), QStringLiteral("￥"));
    }

    void checksInOrderWithTheirFocus()
    {
        NoticeWindow *w = h->open();
        struct Step {
            const char *message;
            QWidget *focus;
            std::function<void()> mend;
        };
        const Step steps[] = {
            {"请输入单号", edit(w, "Text40"), [w] { type(edit(w, "Text40"), QStringLiteral("1")); }},
            {"请确认日期", button(w, "Command1"), [w] { click(w, "Command1"); }},
            {"请输入金额", edit(w, "Text8"), [w] { type(edit(w, "Text8"), QStringLiteral("5")); }},
            {"请输入用途", edit(w, "Text19"), [w] { type(edit(w, "Text19"), QStringLiteral(" ")); }},
        };
        for (const Step &s : steps) {
            prompter->clear();
            click(w, "Command11");
            QCOMPARE(prompter->texts(), QStringList{QString::fromUtf8(s.message)});
            QCOMPARE(prompter->lastTitle(), QStringLiteral("打印"));
            QCOMPARE(w->focusWidget(), s.focus);
            QCOMPARE(h->prints, 0);
            s.mend();
        }
        prompter->clear();
        click(w, "Command11");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(h->prints, 1);
    }

    void historyRowByPositionAfterAPickerReturn()
    {
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京",
                                                   "海淀区", "BJLSRJYXGS"}));
        NoticeWindow *w = h->open();
        fill(w);
        QVERIFY(pickCustomer(w, "Command2", QStringLiteral("北京蓝石"), QStringLiteral("交款单")));
        QCOMPARE(datePicker(w)->date(), QDate::currentDate());
        click(w, "Command11");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        const QList<std::pair<const char *, QString>> expected = {
            {"dyrq", QDate::currentDate().toString(Qt::ISODate)},
            {"fkrq", "2010-04-14"},
            {"pzlx", "交款单"},
            {"pzhm", "JK-0001"},
            {"fkje", "12.30"},
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
        // Both copies carry the payer; the notice number is not printed.
        const QList<PlacedText> texts = h->recorder.placedTexts();
        QCOMPARE(printedAt(texts, 2387, 1899), QStringLiteral("北京蓝石软件有限公司"));
        QCOMPARE(printedAt(texts, 2387, 1899 + 6270), QStringLiteral("北京蓝石软件有限公司"));
        for (const PlacedText &t : texts)
            QVERIFY(t.text != QStringLiteral("JK-0001"));
    }

    void editedPayeeSurvivesAReopenUnlessTheOwnCompanyChanged()
    {
        NoticeWindow *w = h->open();
        fill(w);
        edit(w, "Text25")->setText(QStringLiteral("北京示例商贸有限公司财务部"));
        click(w, "Command7"); // 退出 hides
        QVERIFY(!w->isVisible());
        w->show();
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京示例商贸有限公司财务部"));
        QCOMPARE(edit(w, "Text40")->text(), QStringLiteral("JK-0001"));
        w->hide();
        QVERIFY(setOwnCompany(QStringLiteral("北京新名称有限公司"), QStringLiteral("招商银行北京分行"),
                              QStringLiteral("110900000001")));
        w->show();
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京新名称有限公司"));
        QCOMPARE(edit(w, "Text2")->text(), QStringLiteral("110900000001"));
        QCOMPARE(edit(w, "Text23")->text(), QStringLiteral("招商银行北京分行"));
        QCOMPARE(edit(w, "Text8")->text(), QStringLiteral("12.30"));
    }

    void calibrationSavesAndAFailedWriteIsTold()
    {
        NoticeWindow *w = h->open();
        click(w, "Command10");
        edit(w, "Text42")->setText(QStringLiteral("1"));
        edit(w, "Text46")->setText(QStringLiteral("0.5"));
        edit(w, "Text36")->setText(QStringLiteral("3"));
        click(w, "Command6");
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(edit(w, "Text46")->text(), QStringLiteral("0.5")); // the boxes keep what was typed
        const store::Profile profile(store::appFile(QStringLiteral("jkddy.ini")));
        QCOMPARE(profile.read(QStringLiteral("Myapp"), QStringLiteral("text27")), QStringLiteral("57"));
        QCOMPARE(profile.read(QStringLiteral("Myapp"), QStringLiteral("text32")), QStringLiteral("28.5"));
        QCOMPARE(profile.read(QStringLiteral("Myapp"), QStringLiteral("text38")), QStringLiteral("171"));
        fill(w);
        click(w, "Command11");
        // The second copy's top border: 57 right, 6270 + 28 down.
        bool found = false;
        for (const PrintOp &op : h->recorder.ops())
            found = found || op == PrintOp::line(1140 + 57, 1710 + 6298, 10830 + 57, 1710 + 6298);
        QVERIFY(found);

        QFile::remove(store::appFile(QStringLiteral("jkddy.ini")));
        QVERIFY(QDir().mkdir(store::appFile(QStringLiteral("jkddy.ini"))));
        prompter->clear();
        click(w, "Command10");
        click(w, "Command6");
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains(QStringLiteral("jkddy.ini")), qPrintable(prompter->lastText()));
    }

    void enterMovesAlongTheEntries()
    {
        NoticeWindow *w = h->open();
        for (const auto &[from, to] : {std::pair{"Text43", "Command8"}, {"Text8", "Text40"}, {"Text40", "Text5"},
                                       {"Text5", "Command9"}, {"Text6", "Command11"}}) {
            QWidget *field = edit(w, from);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(w->focusWidget()->objectName(), QString::fromLatin1(to));
        }
    }

    void noticeOnPaperHasBothCopies()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("交款单.pdf"));
        NoticeWindow *w = h->open();
        w->setPrintPath([pdf](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            if (!savePdf(routine, pdf))
                return PrintOutcome::Failed;
            issued();
            return PrintOutcome::SavedPdf;
        });
        fill(w);
        click(w, "Command11");
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"JK-0001"});
        QCOMPARE(pdftools::pageSize(pdf), QSizeF(595, 842)); // no page size: the paper of a PDF file, A4
        const QList<pdftools::Word> words = pdftools::words(pdf);
        // The title's first character, at 15 points, and the payer's name in the second copy.
        QList<pdftools::Word> titles, payers;
        for (const pdftools::Word &word : words) {
            if (word.text == QStringLiteral("交"))
                titles << word;
            if (word.text == kCustomer)
                payers << word;
        }
        QVERIFY(!titles.isEmpty());
        QCOMPARE(payers.size(), 2);
        const pdftools::Word &title = titles.first();
        QVERIFY2(qAbs(title.box.left() * 20 - 4719) <= 2 && qAbs(title.box.top() * 20 - 1000) <= 2,
                 qPrintable(QStringLiteral("title at (%1, %2)").arg(title.box.left() * 20).arg(title.box.top() * 20)));
        QVERIFY2(qAbs(title.box.height() * 20 - 300) <= 60, qPrintable(QString::number(title.box.height())));
        const pdftools::Word &second = payers.last();
        QVERIFY2(qAbs(second.box.left() * 20 - 2387) <= 2 && qAbs(second.box.top() * 20 - (1899 + 6270)) <= 2,
                 qPrintable(QStringLiteral("payer at (%1, %2)").arg(second.box.left() * 20).arg(second.box.top() * 20)));
        const QString shots = qEnvironmentVariable("LANSHI_SCREENSHOTS");
        if (!shots.isEmpty())
            QFile::copy(pdf, QDir(shots).filePath(QStringLiteral("jkddy-notice.pdf")));
    }

    void screenshots()
    {
        NoticeWindow *w = h->open();
        fill(w);
        saveScreenshot(w, QStringLiteral("jkddy"));
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        saveScreenshot(w, QStringLiteral("jkddy-settings"));
        QVERIFY2(w->sizeHint().width() <= 1024 && w->sizeHint().height() <= 740,
                 qPrintable(QStringLiteral("%1 x %2").arg(w->sizeHint().width()).arg(w->sizeHint().height())));
    }
};

QTEST_MAIN(TestNoticeWindow)
#include "tst_jkddy.moc"
