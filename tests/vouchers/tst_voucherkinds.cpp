// What every kind of voucher in the list of kinds must do, so that a new kind is tested the day it
// is registered: an empty print refuses with the kind's first check and writes nothing; a filled
// print writes one history row of the kind's type; a list row makes the same voucher as the window
// filled with it (the same drawing, the same row); the preview draws what the print draws.

#include "windowtest.h"
#include "storefixture.h"
#include "scriptedprompter.h"
#include "ui/fonts.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucherdata.h"
#include "vouchers/voucherwindow.h"
#include "printing/pagewriter_recorder.h"
#include "store/appdir.h"
#include "store/connection.h"
#include "store/profile.h"

#include <QTest>

#include <memory>

using namespace vouchers;

namespace {

// Typed per kind, from what the kind's window is documented to do.
struct Expected {
    const char *window;
    const char *firstCheck;  // the message of an empty print
    const char *historyType; // pzlx
};
const Expected kExpected[] = {
    {"zpdy", "请输入支票号码", "支票"},     {"jzddy", "请确认日期", "进账单"},
    {"jhdhpz", "请输入凭证号", "建行电汇"}, {"tydhpz", "请输入凭证号", "汇款凭证"},
    {"nhjsywsqs", "请输入申请书号码", "农行申请书"}, {"jkddy", "请输入单号", "交款单"},
};

// A row every kind takes: its columns by data key.
VoucherData fullRow()
{
    return {{key::counterparty, QStringLiteral("上海华东建材有限公司")},
            {key::amount, QStringLiteral("1234.56")},
            {key::date, QStringLiteral("2010-04-14")},
            {key::purpose, QStringLiteral("货款")},
            {key::number, QStringLiteral("10203041")},
            {key::billKind, QStringLiteral("汇票")},
            {key::billCount, QStringLiteral("2")},
            {key::method, QStringLiteral("加急")},
            {key::businessType, QStringLiteral("信汇")},
            {key::paymentCode, QStringLiteral("556677")},
            {key::address, QStringLiteral("上海浦东")},
            {key::remark, QStringLiteral("月结")}};
}

QList<PrintOp> opsOf(const PrintRoutine &routine) { return recordRoutine(routine); }

} // namespace

class TestVoucherKinds : public WindowTest {
    Q_OBJECT


    VoucherWindow *open(const VoucherKind &kind, int *prints)
    {
        VoucherWindow *w = kind.make(nullptr);
        w->setPrintPath([prints](const PrintRoutine &, QWidget *, const Issued &issued) {
            issued();
            ++*prints;
            return PrintOutcome::Printed;
        });
        w->show();
        return w;
    }

private slots:

    void everyKindIsListedWithWhatItMustDo()
    {
        QCOMPARE(voucherKinds().size(), qsizetype(std::size(kExpected)));
        for (const Expected &e : kExpected)
            QVERIFY2(findVoucherKind(QString::fromLatin1(e.window)), e.window);
    }

    void eachKindKeepsTheContract_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("firstCheck");
        QTest::addColumn<QString>("historyType");
        QTest::addColumn<bool>("switchesOn");
        for (const bool on : {false, true})
            for (const Expected &e : kExpected)
                QTest::addRow("%s%s", e.window, on ? ", switches on" : "")
                    << QString::fromLatin1(e.window) << QString::fromUtf8(e.firstCheck)
                    << QString::fromUtf8(e.historyType) << on;
    }
    void eachKindKeepsTheContract()
    {
        QFETCH(QString, window);
        QFETCH(QString, firstCheck);
        QFETCH(QString, historyType);
        QFETCH(bool, switchesOn);
        if (switchesOn) {
            // The cheque's bank and counterfoil, the general voucher's places; some calibration.
            const store::Profile cheque(store::appFile(QStringLiteral("mqtx.ini")));
            for (const char *k : {"text99", "text100", "text119"})
                QVERIFY(cheque.write(QStringLiteral("MyApp"), QString::fromLatin1(k), QStringLiteral("1")));
            QVERIFY(cheque.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("28.5")));
            QVERIFY(store::Profile(store::appFile(QStringLiteral("jkddy.ini")))
                        .write(QStringLiteral("MyApp"), QStringLiteral("text38"), QStringLiteral("57")));
        }
        const VoucherKind &kind = *findVoucherKind(window);
        QCOMPARE(kind.historyType, historyType);
        int prints = 0;
        std::unique_ptr<VoucherWindow> w(open(kind, &prints));

        // Empty: the first check refuses, nothing is printed or written.
        w->print();
        QCOMPARE(prompter->texts(), QStringList{firstCheck});
        QCOMPARE(prints, 0);
        QVERIFY(StoreFixture::column(store::statements::history(), "pzlx").isEmpty());

        // A list row and the window filled with it make one voucher.
        prompter->clear();
        const QList<DataProblem> windowProblems = w->fill(fullRow());
        QVERIFY(windowProblems.isEmpty());
        const Voucher fromWindow = w->voucher(VoucherWindow::Settings::Saved);
        store::Connection connection;
        ListContext context(connection);
        QList<DataProblem> listProblems;
        const Voucher fromList = kind.fromData(fullRow(), context, listProblems);
        QVERIFY(listProblems.isEmpty());
        const QList<PrintOp> drawn = opsOf(fromWindow.routine);
        QVERIFY(drawn.size() > 20);
        QCOMPARE(opsOf(fromList.routine), drawn);
        QCOMPARE(fromList.row.values(), fromWindow.row.values());
        QCOMPARE(fromList.requirements.size(), fromWindow.requirements.size());

        // The preview draws what the print draws while the calibration is as saved.
        QCOMPARE(opsOf(w->previewRoutine()), drawn);

        // Filled and printed: one row of the kind's type, with the row's date and number.
        w->print();
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(prints, 1);
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzlx"), QStringList{historyType});
        QCOMPARE(StoreFixture::column(store::statements::history(), "fkrq"), QStringList{"2010-04-14"});
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzhm"), QStringList{"10203041"});
    }
};

QTEST_MAIN(TestVoucherKinds)
#include "tst_voucherkinds.moc"
