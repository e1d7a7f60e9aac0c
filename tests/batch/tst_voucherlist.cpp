// A payment list printed as a batch: every row goes through its voucher's window, problems are
// named by row and column, and the vouchers come out where single prints put them, each with
// its history row.

#include "windowtest.h"
#include "../printing/fakeprinter.h"
#include "fakespooler.h"
#include "../printing/pdftools.h"
#include "../vouchers/voucherharness.h"
#include "batch/voucherlist.h"
#include "rawdatabase.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/numberbooks.h"
#include "ui/fonts.h"
#include "vouchers/chequewindow.h"

#include <QDateEdit>
#include <QTemporaryDir>

#include <memory>

using namespace batch;
using store::statements::customers;
using store::statements::history;

namespace {

const QStringList kChequeHeader = {"收款人", "金额", "日期", "用途", "支票号码"};

QList<ListRow> chequeRows()
{
    return {{2, {"上海华东建材有限公司", "1234.56", "2010-04-14", "货款", "10000001"}},
            {3, {"北京蓝石软件有限公司", "50", "2010/4/15", "服务费", "10000002"}},
            {4, {"杭州西湖茶叶有限公司", "0.05", "2010年4月16日", "茶叶", "10000003"}}};
}

void addCustomers()
{
    QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "11050001", "中国银行北京分行", "北京", "海淀区", ""}));
    QVERIFY(StoreFixture::append(customers(), {"杭州西湖茶叶有限公司", "6001", "杭州银行", "浙江", "杭州", ""}));
}

const vouchers::VoucherKind &kind(const char *name) { return *vouchers::findVoucherKind(QString::fromUtf8(name)); }

} // namespace

class TestVoucherList : public WindowTest {
    Q_OBJECT


private slots:
    void init()
    {
        WindowTest::init();
        addCustomers();
    }

    void kindsByWindowAndChineseName()
    {
        const QStringList names = {"支票", "进账单", "建行电汇", "通用电汇", "农行申请书", "交款单"};
        const QStringList windows = {"zpdy", "jzddy", "jhdhpz", "tydhpz", "nhjsywsqs", "jkddy"};
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(vouchers::findVoucherKind(names[i]));
            QCOMPARE(vouchers::findVoucherKind(names[i]), vouchers::findVoucherKind(windows[i]));
        }
        QVERIFY(!vouchers::findVoucherKind(QStringLiteral("汇票")));
    }

    // The list's own earlier rows count as payments: same payee and amount within 30 days of a
    // row that would print stops the later row, naming it; a row already stopped does not count.
    void aListRepeatsItselfWithinThirtyDays()
    {
        const QString a = QStringLiteral("北京蓝石软件有限公司"), b = QStringLiteral("杭州西湖茶叶有限公司");
        const QList<ListRow> rows = {
            {2, {a, "50", "2010-04-01", "服务费", "1"}},
            {3, {a, "50.00", "2010-05-01", "服务费", "2"}}, // 30 days later: stopped by row 2
            {4, {a, "50", "2010-05-02", "服务费", "3"}},    // 31 days after row 2; row 3 does not count
            {5, {b, "50", "2010-04-01", "茶叶", "4"}},      // another payee
            {6, {a, "50.01", "2010-04-02", "服务费", "5"}}, // another amount
            {7, {a, "50", "2010-03-05", "服务费", "6"}},    // earlier date, 27 days before row 2 and 58 before row 4
            {8, {a, "50", "2010-04-20", "服务费", "7"}},    // 19 days after row 2, 12 before row 4
        };
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, kChequeHeader, rows);
        QStringList found;
        for (const RowProblem &p : check.blocking())
            found << QStringLiteral("%1:%2").arg(p.sheetRow).arg(p.message);
        const QString same = QStringLiteral("与本表第%1行的收款人、金额相同，日期相差不到30天");
        QCOMPARE(found, (QStringList{"3:" + same.arg(2), "7:" + same.arg(2), "8:" + same.arg(2), "8:" + same.arg(4)}));
        QCOMPARE(check.toPrint().size(), 4);
        // With repeats allowed every row prints.
        VoucherList allowing(kind("支票"));
        QCOMPARE(checkList(allowing, kChequeHeader, rows, true).toPrint().size(), 7);
    }

    // Rows without a number take the next ones of the account's book, after the history's last
    // and after those given to the list's earlier rows; a row with its own number keeps it.
    void rowsWithoutANumberTakeTheNextOfTheBook()
    {
        {
            store::Connection connection;
            store::NumberBook book{0, QStringLiteral("zpdy"), kOwnAccount, QStringLiteral("10203041"),
                                   QStringLiteral("10203050")};
            QString error;
            QVERIFY2(store::addNumberBook(connection, &book, &error), qPrintable(error));
        }
        QVERIFY(StoreFixture::append(history(), {QVariant(), QDate(2010, 4, 1), QDate(2010, 4, 1), "支票", "10203041",
                                                 "1", "货款", kOwnName, kOwnAccount, kOwnBank, "北京蓝石软件有限公司",
                                                 "11050001", "中国银行北京分行"}));
        const QList<ListRow> rows = {{2, {"上海华东建材有限公司", "1234.56", "2010-04-14", "货款", ""}},
                                     {3, {"北京蓝石软件有限公司", "50", "2010-04-15", "服务费", "88000001"}},
                                     {4, {"杭州西湖茶叶有限公司", "0.05", "2010-04-16", "茶叶", ""}},
                                     {5, {"北京蓝石软件有限公司", "60", "2010-04-16", "服务费", ""}}};
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, kChequeHeader, rows);
        QVERIFY(check.blocking().isEmpty());
        QStringList numbers;
        for (const Entry &e : check.entries)
            numbers << e.number + QLatin1Char('/') + e.row.number;
        QCOMPARE(numbers, (QStringList{"10203042/10203042", "88000001/88000001", "10203043/10203043",
                                       "10203044/10203044"}));
    }

    // Three cheques in one PDF: three pages, each text where a cheque typed into the window and
    // printed alone puts it, and three history rows written once the file is complete.
    void threeChequesStandWhereSinglePrintsPutThem()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, kChequeHeader, chequeRows());
        QVERIFY(check.blocking().isEmpty());
        QCOMPARE(check.toPrint().size(), 3);
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty()); // checking writes nothing

        QTemporaryDir dir;
        const QString batchPdf = dir.filePath(QStringLiteral("三张支票.pdf"));
        const Outcome out = saveEntriesPdf(check.toPrint(), batchPdf);
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.printed, 3);
        QCOMPARE(pdftools::pageCount(batchPdf), 3);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), (QStringList{"10000001", "10000002", "10000003"}));
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), (QStringList{kCustomerAccount, "11050001", "6001"}));
        QCOMPARE(StoreFixture::column(history(), "fkrq"), (QStringList{"2010-04-14", "2010-04-15", "2010-04-16"}));

        // The second cheque typed into the window and saved alone.
        const QString single = dir.filePath(QStringLiteral("一张支票.pdf"));
        {
            vouchers::ChequeWindow w;
            w.setPrintPath([&](const vouchers::PrintRoutine &r, QWidget *, const vouchers::Issued &) {
                vouchers::savePdf(r, single);
                return vouchers::PrintOutcome::SavedPdf;
            });
            w.show();
            type(edit(&w, "Text43"), QStringLiteral("北京蓝石"));
            click(&w, "Command5");
            type(edit(&w, "Text21"), QStringLiteral("10000002"));
            w.findChild<QDateEdit *>(QStringLiteral("DTPicker1"))->setDate(QDate(2010, 4, 15));
            click(&w, "Command1");
            type(edit(&w, "Text8"), QStringLiteral("50"));
            type(edit(&w, "Text19"), QStringLiteral("服务费"));
            prompter->answer(ui::Yes); // the batch has just paid the same: print it all the same
            prompter->answer(ui::Yes); // with the same number
            click(&w, "Command9");
            QVERIFY(prompter->texts().value(0).startsWith(QStringLiteral("30天内已向北京蓝石软件有限公司")));
            QVERIFY(prompter->lastText().startsWith(QStringLiteral("支票号码10000002已于")));
        }
        const QList<pdftools::Word> alone = pdftools::words(single);
        const QList<pdftools::Word> inBatch = pdftools::words(batchPdf, 2);
        QVERIFY(alone.size() >= 10);
        QCOMPARE(inBatch.size(), alone.size());
        for (int i = 0; i < alone.size(); ++i) {
            QCOMPARE(inBatch[i].text, alone[i].text);
            QVERIFY2((inBatch[i].box.topLeft() - alone[i].box.topLeft()).manhattanLength() * 20 <= 1,
                     qPrintable(alone[i].text));
        }
        QCOMPARE(pdftools::pageSize(batchPdf), pdftools::pageSize(single));
    }

    void problemsAreNamedByRowAndColumn()
    {
        VoucherList list(kind("支票"));
        QList<ListRow> rows = chequeRows();
        rows[1].cells[1] = QStringLiteral("-50");              // row 3: negative amount
        rows[2].cells[0] = QStringLiteral("南京不存在的公司"); // row 4: not a customer, no account
        rows.append({5, {"上海华东建材有限公司", "10", "2010-02-30", "货款", "10000004"}}); // no such day
        rows.append({6, {"上海华东建材有限公司", "10", "2010-04-14", "", "10000005"}});   // no purpose
        const ListCheck check = checkList(list, kChequeHeader, rows);
        QCOMPARE(check.entries.size(), 5);
        QVERIFY(check.entries[0].ready());
        const QList<RowProblem> all = check.blocking();
        QStringList said;
        for (const RowProblem &p : all)
            said << p.toString();
        QCOMPARE(all.size(), 4);
        QCOMPARE(all[0].sheetRow, 3);
        QCOMPARE(all[0].column, QStringLiteral("金额"));
        QCOMPARE(all[0].message, text::amountProblemMessage(text::AmountProblem::Negative));
        QCOMPARE(all[1].sheetRow, 4);
        QCOMPARE(all[1].column, QStringLiteral("收款人"));
        QVERIFY2(all[1].message.contains(QStringLiteral("南京不存在的公司")), qPrintable(all[1].message));
        QCOMPARE(all[2].column, QStringLiteral("日期"));
        QCOMPARE(all[3].column, QStringLiteral("用途"));
        QCOMPARE(all[3].message, QStringLiteral("请输入用途"));
        // Skipped rows no longer stand in the way; only the good row prints.
        const QSet<int> skipped = {3, 4, 5, 6};
        QVERIFY(check.blocking(skipped).isEmpty());
        QCOMPARE(check.toPrint(skipped).size(), 1);
        QVERIFY(prompter->prompts.isEmpty()); // the clerk was asked nothing
    }

    void unknownCustomerWithAccountAndBankIsTaken()
    {
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, {"收款人", "账号", "开户行", "金额", "日期", "用途", "支票号码"},
                                          {{2, {"南京新客户有限公司", "9001", "南京银行", "8", "2010-04-14", "货款", "1"}}});
        QVERIFY(check.blocking().isEmpty());
        QTemporaryDir dir;
        QVERIFY(saveEntriesPdf(check.toPrint(), dir.filePath(QStringLiteral("x.pdf"))).error.isEmpty());
        QCOMPARE(StoreFixture::column(history(), "skrmc"), QStringList{"南京新客户有限公司"});
        QCOMPARE(StoreFixture::column(history(), "skrzhh"), QStringList{"9001"});
        QCOMPARE(StoreFixture::column(history(), "skrkhh"), QStringList{"南京银行"});
    }

    // A list never chooses between two customers of one name (they may have two accounts), and a
    // text too long for its place is named by the list's own column.
    void rowsTheListCannotPrintAsMeant_data()
    {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("message");
        const QString twice = QStringLiteral("北京蓝石软件有限公司");
        const QString longName = QStringLiteral("北京蓝石软件有限公司驻上海浦东新区张江高科技园区办事处第二分部财务结算中心及其下属华东地区业务联络站");
        QTest::newRow("cheque, a name held twice")
            << "支票" << kChequeHeader << QStringList{twice, "50", "2010-04-15", "服务费", "1"} << "收款人"
            << "客户资料中有 2 个同名客户，请在客户管理中改名或删除其一";
        QTest::newRow("deposit slip, a name held twice")
            << "进账单" << QStringList{"付款人", "金额", "日期", "用途", "票据号码"}
            << QStringList{twice, "50", "2010-04-15", "服务费", "1"} << "付款人" << "客户资料中有 2 个同名客户";
        QTest::newRow("cheque, a payee too long for the form")
            << "支票" << QStringList{"收款人", "账号", "开户行", "金额", "日期", "用途", "支票号码"}
            << QStringList{longName, "9001", "南京银行", "50", "2010-04-15", "服务费", "1"} << "收款人" << "太长";
    }
    void rowsTheListCannotPrintAsMeant()
    {
        QFETCH(QString, kindName);
        QFETCH(QStringList, header);
        QFETCH(QStringList, cells);
        QFETCH(QString, column);
        QFETCH(QString, message);
        QVERIFY(StoreFixture::append(customers(), {"北京蓝石软件有限公司", "99990000", "工商银行", "北京", "朝阳区", ""}));
        VoucherList list(*vouchers::findVoucherKind(kindName));
        const ListCheck check = checkList(list, header, {{2, cells}});
        QCOMPARE(check.entries.size(), 1);
        QVERIFY(!check.entries[0].ready());
        const RowProblem p = check.entries[0].problems.value(0);
        QCOMPARE(p.column, column);
        QVERIFY2(p.message.contains(message), qPrintable(p.message));
        QVERIFY2(p.toString().startsWith(QStringLiteral("第2行“%1”：").arg(column)), qPrintable(p.toString()));
        QVERIFY(prompter->prompts.isEmpty());
    }

    void headerWithoutARequiredColumnStopsEveryRow()
    {
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, {"收款人名称", "日期", "用途", "凭证号"}, chequeRows());
        QCOMPARE(check.header.size(), 1);
        QCOMPARE(check.header[0].column, QStringLiteral("金额"));
        QCOMPARE(check.header[0].sheetRow, 1);
        QVERIFY(check.toPrint().isEmpty());
    }

    void everyKindTakesItsOwnColumns_data()
    {
        QTest::addColumn<QString>("kindName");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("badColumn"); // empty: the row is ready
        QTest::newRow("deposit slip") << "进账单" << QStringList{"付款人", "金额", "日期", "用途", "票据号码", "票据张数"}
                                      << QStringList{"上海华东建材有限公司", "100", "2010-04-14", "货款", "A1", "2"}
                                      << QString();
        QTest::newRow("construction-bank wire") << "建行电汇" << QStringList{"收款人", "金额", "日期", "用途", "凭证号", "汇款方式"}
                                                << QStringList{"上海华东建材有限公司", "100", "2010-04-14", "货款", "1", "特快"}
                                                << "汇款方式";
        QTest::newRow("application") << "农行申请书" << QStringList{"收款人", "金额", "日期", "用途", "申请书号码", "业务类型"}
                                     << QStringList{"上海华东建材有限公司", "100", "2010-04-14", "货款", "1", "支票"}
                                     << "业务类型";
        QTest::newRow("general wire") << "通用电汇" << QStringList{"收款人", "金额", "日期", "用途", "凭证号"}
                                      << QStringList{"上海华东建材有限公司", "100", "2010-04-14", "货款", ""}
                                      << "凭证号";
        QTest::newRow("notice") << "交款单" << QStringList{"交款人", "金额", "日期", "用途", "单号", "备注"}
                                << QStringList{"上海华东建材有限公司", "1000000000", "2010-04-14", "货款", "J1", "x"}
                                << "金额";
    }
    void everyKindTakesItsOwnColumns()
    {
        QFETCH(QString, kindName);
        QFETCH(QStringList, header);
        QFETCH(QStringList, cells);
        QFETCH(QString, badColumn);
        VoucherList list(*vouchers::findVoucherKind(kindName));
        const ListCheck check = checkList(list, header, {{2, cells}});
        QCOMPARE(check.entries.size(), 1);
        if (badColumn.isEmpty()) {
            QVERIFY2(check.entries[0].ready(), qPrintable(check.blocking().value(0).toString()));
        } else {
            QVERIFY(!check.entries[0].ready());
            QCOMPARE(check.entries[0].problems.value(0).column, badColumn);
        }
    }

    // On a printer: one job, one page per voucher, handed to the queue once drawn whole; the rows
    // wait beside the job until the queue has it and go into the history then, all together. A
    // cancel stops between vouchers and sends the pages drawn, with their rows only.
    void printerJobRecordsItsRowsOnceTheQueueHasIt()
    {
        VoucherList list(kind("支票"));
        const ListCheck check = checkList(list, kChequeHeader, chequeRows());
        FakeSpooler queue;
        FakePrintEngine engine;
        FakePrinter printer(&engine);
        QList<int> rowsAtPage;
        QString whileSending;
        queue.whileSending = [&] {
            whileSending = QStringLiteral("%1 rows, %2 waiting")
                               .arg(StoreFixture::column(history(), "pzhm").size())
                               .arg(sqlite3(store::databasePath(), QStringLiteral("SELECT group_concat(vouchers) FROM dyb_jobs")));
        };
        const Outcome out = printEntries(check.toPrint(), printer, [&](int, int) {
            rowsAtPage << int(StoreFixture::column(history(), "pzhm").size());
            return true;
        });
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.printed, 3);
        QCOMPARE(engine.begins, 1);
        QCOMPARE(engine.newPages, 2);
        QCOMPARE(rowsAtPage, (QList<int>{0, 0, 0}));
        QCOMPARE(whileSending, QStringLiteral("0 rows, 3 waiting"));
        QCOMPARE(queue.calls, (QStringList{"create 1", "send 1"}));
        QCOMPARE(StoreFixture::column(history(), "pzhm"), (QStringList{"10000001", "10000002", "10000003"}));
        QCOMPARE(sqlite3(store::databasePath(), QStringLiteral("SELECT count(*) FROM dyb_jobs")), QStringLiteral("0"));
        QCOMPARE(engine.layoutsAtBegin.first().fullRectPoints().size(), QSize(800, 250));

        StoreFixture::removeAll(history());
        FakePrintEngine second;
        FakePrinter printer2(&second);
        const Outcome cancelled = printEntries(check.toPrint(), printer2, [](int done, int) { return done < 1; });
        QVERIFY(cancelled.cancelled);
        QCOMPARE(cancelled.printed, 1);
        QCOMPARE(cancelled.failed, 0);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"10000001"});

        // The queue fails to take the document: nothing printed, nothing recorded, nothing waiting.
        StoreFixture::removeAll(history());
        queue.refuseDocument = true;
        FakePrintEngine third;
        FakePrinter printer3(&third);
        const Outcome lost = printEntries(check.toPrint(), printer3);
        QCOMPARE(lost.printed, 0);
        QCOMPARE(lost.failed, 3);
        QVERIFY(lost.error.contains(QStringLiteral("队列出错")));
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
        QCOMPARE(sqlite3(store::databasePath(), QStringLiteral("SELECT count(*) FROM dyb_jobs")), QStringLiteral("0"));
        QVERIFY(queue.calls.endsWith(QStringLiteral("cancel 3")));

        FakePrintEngine refusing;
        refusing.failBegin = true;
        FakePrinter printer4(&refusing);
        const Outcome failed = printEntries(check.toPrint(), printer4);
        QCOMPARE(failed.printed, 0);
        QCOMPARE(failed.failed, 3);
        QVERIFY(!failed.error.isEmpty());
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
    }
};

QTEST_MAIN(TestVoucherList)
#include "tst_voucherlist.moc"
