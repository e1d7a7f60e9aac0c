// The command line: a list printed to PDF exactly as the window prints the same voucher, its
// problems named before anything prints, and the exit status saying how it went.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "../vouchers/voucherharness.h"
#include "app/cli.h"
#include "printing/printerchoice.h"
#include "ui/fonts.h"
#include "vouchers/depositwindow.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using store::statements::history;

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

// Runs the command line in this process, on the test's database.
Run run(const QStringList &args)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    Run r;
    r.status = app::runCommandLine(args, out, err);
    auto text = [](std::FILE *f) {
        std::rewind(f);
        QByteArray all;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            all.append(buf, qsizetype(n));
        std::fclose(f);
        return QString::fromUtf8(all);
    };
    r.out = text(out);
    r.err = text(err);
    return r;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(body);
    return f.fileName();
}

} // namespace

class TestCommandLine : public WindowTest {
    Q_OBJECT


private slots:

    void depositSlipToPdfMatchesTheWindowsPdf()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        const QString list = writeFile(dir, QStringLiteral("进账.csv"),
                                       "付款人,金额,日期,用途,票据号码,票据种类,票据张数\n"
                                       "上海华东建材有限公司,1234.56,2010/4/14,货款,88776655,汇票,2\n");
        const QString pdf = dir.filePath(QStringLiteral("命令行.pdf"));
        const Run r = run({"print", "进账单", "--data", list, "--pdf", pdf});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("已把 1 张进账单写入")), qPrintable(r.out));
        QCOMPARE(StoreFixture::column(history(), "pzhm"), QStringList{"88776655"});
        QCOMPARE(StoreFixture::column(history(), "pzlx"), QStringList{"进账单"});

        // The same slip typed into the window.
        const QString windowPdf = dir.filePath(QStringLiteral("窗口.pdf"));
        {
            vouchers::DepositWindow w;
            w.setPrintPath([&](const vouchers::PrintRoutine &r, QWidget *, const vouchers::Issued &) {
                vouchers::savePdf(r, windowPdf);
                return vouchers::PrintOutcome::SavedPdf;
            });
            w.show();
            w.findChild<QDateEdit *>(QStringLiteral("DTPicker1"))->setDate(QDate(2010, 4, 14));
            click(&w, "Command1");
            type(edit(&w, "Text8"), QStringLiteral("1234.56"));
            edit(&w, "Text4")->setText(QStringLiteral("汇票"));
            type(edit(&w, "Text5"), QStringLiteral("88776655"));
            edit(&w, "Text6")->setText(QStringLiteral("2"));
            type(edit(&w, "Text19"), QStringLiteral("货款"));
            prompter->answer(ui::Yes); // the list printed the same a moment ago
            click(&w, "Command3");
        }
        const QList<pdftools::Word> fromLine = pdftools::words(pdf);
        const QList<pdftools::Word> fromWindow = pdftools::words(windowPdf);
        QVERIFY(fromWindow.size() >= 20);
        QCOMPARE(fromLine.size(), fromWindow.size());
        for (int i = 0; i < fromWindow.size(); ++i) {
            QCOMPARE(fromLine[i].text, fromWindow[i].text);
            QVERIFY(fromLine[i].box == fromWindow[i].box);
        }
    }

    void problemsAreListedAndNothingPrints()
    {
        QTemporaryDir dir;
        const QString list = writeFile(dir, QStringLiteral("支票.csv"),
                                       "收款人,金额,日期,用途,支票号码\n"
                                       "上海华东建材有限公司,100,2010-04-14,货款,1\n"
                                       "上海华东建材有限公司,abc,2010-04-14,货款,2\n"
                                       "南京不存在的公司,5,2010-04-14,货款,3\n");
        const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
        const Run r = run({"print", "zpdy", "--data", list, "--pdf", pdf});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("第3行“金额”：")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("第4行“收款人”：“南京不存在的公司”不在客户资料中")), qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());
    }

    void repeatsNeedToBeAllowed()
    {
        QTemporaryDir dir;
        const QString list = writeFile(dir, QStringLiteral("支票.csv"),
                                       "收款人,金额,日期,用途,支票号码\n上海华东建材有限公司,100,2010-04-14,货款,1\n");
        QCOMPARE(run({"print", "支票", "--data", list, "--pdf", dir.filePath(QStringLiteral("a.pdf"))}).status, 0);
        const Run again = run({"print", "支票", "--data", list, "--pdf", dir.filePath(QStringLiteral("b.pdf"))});
        QCOMPARE(again.status, 1);
        QVERIFY2(again.err.contains(QStringLiteral("--allow-repeat")), qPrintable(again.err));
        QCOMPARE(run({"print", "支票", "--data", list, "--pdf", dir.filePath(QStringLiteral("c.pdf")), "--allow-repeat"})
                     .status,
                 0);
        QCOMPARE(StoreFixture::column(history(), "pzhm").size(), 2);
    }

    void statusesOfBadCommandsAndFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "print 凭证种类 --data 清单文件";
        QTest::newRow("no such voucher") << QStringList{"print", "汇票", "--data", "x.csv"} << 1 << "没有“汇票”这种凭证";
        QTest::newRow("no list") << QStringList{"print", "支票"} << 1 << "没有给出付款清单";
        QTest::newRow("both outputs") << QStringList{"print", "支票", "--data", "x", "--pdf", "a.pdf", "--printer"} << 1
                                      << "只能选一个";
        QTest::newRow("missing file") << QStringList{"print", "支票", "--data", "/no/such/list.csv"} << 1 << "list.csv";
        QTest::newRow("unknown printer") << QStringList{"print", "支票", "--data", "LIST", "--printer", "没有这台打印机"}
                                         << 2 << "没有名为“没有这台打印机”的打印机";
        QTest::newRow("the voucher's printer gone") << QStringList{"print", "支票", "--data", "LIST", "--printer"} << 2
                                                    << "支票选定的打印机“已拆走的打印机”已不在系统中";
        QTest::newRow("pdf cannot be written") << QStringList{"print", "支票", "--data", "LIST", "--pdf", "/no/such/dir/a.pdf"}
                                               << 2 << "PDF文件保存失败";
    }
    void statusesOfBadCommandsAndFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString list = writeFile(dir, QStringLiteral("l.csv"),
                                       "收款人,金额,日期,用途,支票号码\n上海华东建材有限公司,100,2010-04-14,货款,1\n");
        args.replaceInStrings(QStringLiteral("LIST"), list);
        QVERIFY(printing::setChosenPrinter(QStringLiteral("zpdy"), QStringLiteral("已拆走的打印机")));
        const Run r = run(args);
        QVERIFY(printing::setChosenPrinter(QStringLiteral("zpdy"), QString()));
        QCOMPARE(r.status, status);
        QVERIFY2((r.out + r.err).contains(said), qPrintable(r.out + r.err));
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty()); // nothing was issued
    }

    // The program itself routes the command line without a display.
    void programPrintsItsHelpWithoutADisplay()
    {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/lanshi");
        if (!QFile::exists(program))
            QSKIP("the program is not built beside the tests");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(program, {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("农行申请书")));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_cli.moc"
