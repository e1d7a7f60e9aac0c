// The construction-bank wire voucher (jhdhpz) and the agricultural-bank application (nhjsywsqs)
// as the clerk uses them: the typed date, the ticks, the checks, the global adjustment, the
// history row after a picker's return and the form on paper. Both windows share these rules, so
// every test runs on both.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "screenshot.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "vouchers/wirewindow.h"
#include "vouchers/settlementwindow.h"
#include "vouchers/ticks.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace vouchers;
using store::statements::customers;
using store::statements::history;

namespace {

// What a test needs to know of each form.
struct Form {
    QString name;
    std::function<BankFormWindow *()> make;
    const char *picker;   // a customer picker button
    QString tag;          // its caller tag
    QString numberMessage;
    QString type;         // pzlx
    QPointF payeeName;    // where the payee's name prints
    QPointF normalMark;   // where 普通's mark prints
    QPointF urgentMark;
};

const QList<Form> &forms()
{
    static const QList<Form> all = {
        {"jhdhpz", [] { return new WireWindow; }, "Command6", "建行电汇凭证", "请输入凭证号", "建行电汇",
         {6880, 1283}, {730, 933}, {2416, 933}},
        {"nhjsywsqs", [] { return new SettlementWindow; }, "Command2", "农行结算业务申请书", "请输入申请书号码",
         "农行申请书", {7320, 1458}, {8670, 1050}, {9603, 1050}},
    };
    return all;
}

QCheckBox *check(QWidget *w, const char *name) { return w->findChild<QCheckBox *>(QLatin1String(name)); }

void typeDate(QWidget *w, const QString &y, const QString &m, const QString &d)
{
    edit(w, "Text32")->setText(y);
    edit(w, "Text36")->setText(m);
    edit(w, "Text37")->setText(d);
}

void fill(QWidget *w)
{
    type(edit(w, "Text39"), QStringLiteral("20100414"));
    typeDate(w, "2010", "4", "14");
    click(w, "Command1");
    type(edit(w, "Text8"), QStringLiteral("10000"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

void addFormColumn()
{
    QTest::addColumn<int>("form");
    for (int i = 0; i < forms().size(); ++i)
        QTest::newRow(qPrintable(forms()[i].name)) << i;
}

} // namespace

class TestBankForms : public WindowTest {
    Q_OBJECT

    QPointer<BankFormWindow> window;
    RecordingPageWriter recorder;
    int prints = 0;

    BankFormWindow *open(const Form &form)
    {
        window = form.make();
        window->setPrintPath([this](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            recorder.clear();
            issued();
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

    // What the last print put at p, or a note that nothing is there.
    QString printed(QPointF p) { return printedAt(recorder.placedTexts(), p.x(), p.y()); }
    const PlacedText *findText(QPointF p)
    {
        m_texts = recorder.placedTexts();
        return textAt(m_texts, p.x(), p.y());
    }
    QList<PlacedText> m_texts;

private slots:

    void init()
    {
        WindowTest::init();
        recorder.clear();
        prints = 0;
    }

    void cleanup()
    {
        delete window.data();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        WindowTest::cleanup();
    }

    void opensWithTodayAndTheDefaults_data() { addFormColumn(); }
    void opensWithTodayAndTheDefaults()
    {
        QFETCH(int, form);
        BankFormWindow *w = open(forms()[form]);
        const QDate today = QDate::currentDate();
        QCOMPARE(edit(w, "Text32")->text(), QString::number(today.year()));
        QCOMPARE(edit(w, "Text36")->text(), QString::number(today.month()));
        QCOMPARE(edit(w, "Text37")->text(), QString::number(today.day()));
        QVERIFY(edit(w, "Text33")->text().isEmpty());
        QVERIFY(check(w, "Check1")->isChecked());
        QVERIFY(!check(w, "Check2")->isChecked());
        QCOMPARE(edit(w, "Text3")->text(), kOwnName);
        QCOMPARE(edit(w, "Text25")->text(), kCustomer);
        QCOMPARE(w->focusWidget(), edit(w, "Text43"));
        if (auto *app = qobject_cast<SettlementWindow *>(w)) {
            QVERIFY(check(app, "Check3")->isChecked());
            QCOMPARE(app->businessType().marks(), applicationTypeMarks().first());
        }
    }

    void untickingTheTickedMethodTicksTheOther_data() { addFormColumn(); }
    void untickingTheTickedMethodTicksTheOther()
    {
        QFETCH(int, form);
        const Form &f = forms()[form];
        BankFormWindow *w = open(f);
        QTest::mouseClick(check(w, "Check1"), Qt::LeftButton); // untick 普通
        QVERIFY(!check(w, "Check1")->isChecked());
        QVERIFY(check(w, "Check2")->isChecked());
        fill(w);
        click(w, "Command3");
        QCOMPARE(printed(f.urgentMark), QStringLiteral("√"));
        QCOMPARE(printed(f.normalMark), QStringLiteral(" "));
        QTest::mouseClick(check(w, "Check2"), Qt::LeftButton); // untick 加急
        QVERIFY(check(w, "Check1")->isChecked());
        QTest::mouseClick(check(w, "Check2"), Qt::LeftButton); // tick 加急
        QVERIFY(!check(w, "Check1")->isChecked());
        QVERIFY(check(w, "Check2")->isChecked());
    }

    // A voucher dated back and its choices survive a trip to the pickers: the paper and the
    // history both show the confirmed date, and 加急 (and 汇票) stay chosen.
    void backDatedVoucherAndItsChoicesSurviveThePickers_data() { addFormColumn(); }
    void backDatedVoucherAndItsChoicesSurviveThePickers()
    {
        QFETCH(int, form);
        const Form &f = forms()[form];
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京",
                                                   "海淀区", "BJLSRJYXGS"}));
        BankFormWindow *w = open(f);
        fill(w);
        type(edit(w, qobject_cast<SettlementWindow *>(w) ? "Text42" : "Text40"), QStringLiteral("8866"));
        QTest::mouseClick(check(w, "Check2"), Qt::LeftButton);
        if (qobject_cast<SettlementWindow *>(w))
            QTest::mouseClick(check(w, "Check5"), Qt::LeftButton); // 汇票
        QVERIFY(pickCustomer(w, f.picker, QStringLiteral("北京蓝石"), f.tag));
        // Back: the typed date is today again, the confirmed one and the choices stay.
        QCOMPARE(edit(w, "Text32")->text(), QString::number(QDate::currentDate().year()));
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("2010"));
        QVERIFY(check(w, "Check2")->isChecked());
        QCOMPARE(edit(w, "Text25")->text(), QStringLiteral("北京蓝石软件有限公司"));
        click(w, "Command3");
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        const QList<std::pair<const char *, QString>> expected = {
            {"dyrq", QDate::currentDate().toString(Qt::ISODate)},
            {"fkrq", "2010-04-14"},
            {"pzlx", f.type},
            {"pzhm", "20100414"},
            {"fkje", "10000"},
            {"fkyt", "货款"},
            {"fkrmc", kOwnName},
            {"fkrzhh", kOwnAccount},
            {"fkrkhh", kOwnBank},
            {"skrmc", "北京蓝石软件有限公司"},
            {"skrzhh", "11050001"},
            {"skrkhh", "中国银行北京分行"},
        };
        for (const auto &[column, value] : expected)
            QCOMPARE(StoreFixture::column(history(), QString::fromLatin1(column)), QStringList{value});
        QCOMPARE(printed(f.urgentMark), QStringLiteral("√"));
        QCOMPARE(printed(f.payeeName), QStringLiteral("北京蓝石软件有限公司"));
        if (qobject_cast<SettlementWindow *>(w)) {
            QCOMPARE(printed({4586, 992}), QStringLiteral(" √"));
            QVERIFY(!findText({2136, 992})); // 电汇 prints nothing at all
        }
        // The payment code is printed and never stored.
        bool codePrinted = false;
        for (const PlacedText &t : recorder.placedTexts())
            codePrinted = codePrinted || t.text == QStringLiteral("8866");
        QVERIFY(codePrinted);
        for (const char *column : {"dyrq", "fkrq", "pzlx", "pzhm", "fkje", "fkyt", "fkrmc", "fkrzhh", "fkrkhh",
                                      "skrmc", "skrzhh", "skrkhh"})
            QVERIFY(!StoreFixture::column(history(), QLatin1String(column)).value(0).contains(QStringLiteral("8866")));
    }

    void onlyARealDateIsConfirmed_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("wrongBox");
        const struct {
            const char *name, *y, *m, *d, *box;
        } dates[] = {
            {"13th month", "2010", "13", "1", "Text36"}, {"30 February", "2010", "2", "30", "Text37"},
            {"29 February 2010", "2010", "2", "29", "Text37"}, {"letters", "abc", "4", "14", "Text32"},
            {"two-digit year", "10", "4", "14", "Text32"}, {"empty day", "2010", "4", "", "Text37"},
            {"month zero", "2010", "0", "14", "Text36"},
        };
        for (int i = 0; i < forms().size(); ++i)
            for (const auto &d : dates)
                QTest::newRow(qPrintable(forms()[i].name + QLatin1Char(' ') + QLatin1String(d.name)))
                    << i << QString::fromLatin1(d.y) << QString::fromLatin1(d.m) << QString::fromLatin1(d.d)
                    << QString::fromLatin1(d.box);
    }
    void onlyARealDateIsConfirmed()
    {
        QFETCH(int, form);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, wrongBox);
        BankFormWindow *w = open(forms()[form]);
        type(edit(w, "Text39"), QStringLiteral("1"));
        typeDate(w, year, month, day);
        click(w, "Command1");
        QCOMPARE(prompter->texts(), QStringList{TypedDate::wrongDateMessage()});
        QCOMPARE(w->focusWidget()->objectName(), wrongBox);
        QVERIFY(edit(w, "Text33")->text().isEmpty());
        type(edit(w, "Text8"), QStringLiteral("5"));
        type(edit(w, "Text19"), QStringLiteral("货款"));
        prompter->clear();
        click(w, "Command3");
        QCOMPARE(prompter->texts(), QStringList{QStringLiteral("请确认日期")});
        QCOMPARE(prints, 0);
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
        // 29 February of a leap year is a date; full-width digits count.
        typeDate(w, QStringLiteral("２０１２"), "2", "29");
        click(w, "Command1");
        QCOMPARE(edit(w, "Text33")->text(), QStringLiteral("2012"));
        QCOMPARE(w->focusWidget(), edit(w, "Text8"));
    }

    void checksInOrder_data() { addFormColumn(); }
    void checksInOrder()
    {
        QFETCH(int, form);
        const Form &f = forms()[form];
        BankFormWindow *w = open(f);
        struct Step {
            QString message;
            QWidget *focus;
            std::function<void()> mend;
        };
        const QList<Step> steps = {
            {f.numberMessage, edit(w, "Text39"), [w] { type(edit(w, "Text39"), QStringLiteral("1")); }},
            {QStringLiteral("请确认日期"), button(w, "Command1"), [w] { click(w, "Command1"); }},
            {QStringLiteral("请输入金额"), edit(w, "Text8"), [w] { type(edit(w, "Text8"), QStringLiteral("5")); }},
            {QStringLiteral("请输入用途"), edit(w, "Text19"), [w] { type(edit(w, "Text19"), QStringLiteral("x")); }},
        };
        for (const Step &s : steps) {
            prompter->clear();
            click(w, "Command3");
            QCOMPARE(prompter->texts(), QStringList{s.message});
            QCOMPARE(prompter->lastTitle(), QStringLiteral("打印"));
            QCOMPARE(w->focusWidget(), s.focus);
            s.mend();
        }
        prompter->clear();
        click(w, "Command3");
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(prints, 1);
    }

    void globalAdjustmentMovesEveryField_data() { addFormColumn(); }
    void globalAdjustmentMovesEveryField()
    {
        QFETCH(int, form);
        const Form &f = forms()[form];
        StoreFixture::removeAll(store::statements::printOffsets());
        QVERIFY(StoreFixture::append(store::statements::printOffsets(), {57, 28.5})); // djpzup, djpzleft
        BankFormWindow *w = open(f);
        fill(w);
        click(w, "Command3");
        const PlacedText *payee = findText(f.payeeName + QPointF(57, 28));
        QVERIFY2(payee, qPrintable(recorder.dump()));
        QCOMPARE(payee->text, kCustomer);
    }

    void formOnPaper_data() { addFormColumn(); }
    void formOnPaper()
    {
        QFETCH(int, form);
        const Form &f = forms()[form];
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(f.name + QStringLiteral(".pdf"));
        BankFormWindow *w = open(f);
        w->setPrintPath([pdf](const PrintRoutine &routine, QWidget *, const Issued &issued) {
            if (!savePdf(routine, pdf))
                return PrintOutcome::Failed;
            issued();
            return PrintOutcome::SavedPdf;
        });
        fill(w);
        type(edit(w, qobject_cast<SettlementWindow *>(w) ? "Text42" : "Text40"), QStringLiteral("8866"));
        click(w, "Command3");
        QCOMPARE(StoreFixture::column(history(), "pzlx"), QStringList{f.type});
        const QSizeF page = pdftools::pageSize(pdf);
        QVERIFY(qAbs(page.width() - 750) <= 1 && qAbs(page.height() - 450) <= 1);
        const QList<pdftools::Word> words = pdftools::words(pdf);
        for (const auto &[text, at] : {std::pair{kCustomer, f.payeeName}, {kOwnName, QPointF()}}) {
            const pdftools::Word *found = pdftools::find(words, text);
            QVERIFY2(found, qPrintable(text));
            if (at.isNull())
                continue;
            const QString where = QStringLiteral("%1 at (%2, %3) twips").arg(text).arg(found->box.left() * 20)
                                      .arg(found->box.top() * 20);
            QVERIFY2(qAbs(found->box.left() * 20 - at.x()) <= 2 && qAbs(found->box.top() * 20 - at.y()) <= 2,
                     qPrintable(where));
        }
        QVERIFY(pdftools::find(words, QStringLiteral("8866"))); // the payment code is printed
        const QString shots = qEnvironmentVariable("LANSHI_SCREENSHOTS");
        if (!shots.isEmpty()) {
            QFile::copy(pdf, QDir(shots).filePath(f.name + QStringLiteral("-form.pdf")));
            saveScreenshot(w, f.name);
        }
        QVERIFY2(w->sizeHint().width() <= 1024 && w->sizeHint().height() <= 740,
                 qPrintable(QStringLiteral("%1 x %2").arg(w->sizeHint().width()).arg(w->sizeHint().height())));
    }
};

QTEST_MAIN(TestBankForms)
#include "tst_bankforms.moc"
