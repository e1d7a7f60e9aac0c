// The batch window as the clerk uses it: a list opened, its problems shown row by row, nothing
// printed while one stands, skipped rows left out, the rest printed with a summary, and a second
// print of the same list held back as repeats.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "../vouchers/voucherharness.h"
#include "batch/batchwindow.h"
#include "screenshot.h"
#include "sheets/sheets.h"
#include "ui/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace batch;
using store::statements::history;

namespace {

// A payment list as the bookkeeping program writes it: UTF-8 with its mark, quoted fields.
QString writeList(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString path = dir.filePath(QStringLiteral("付款清单.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("\xEF\xBB\xBF" + body);
    return path;
}

const QByteArray kList = "收款人,金额,日期,用途,支票号码\r\n"
                         "上海华东建材有限公司,1234.56,2010-04-14,货款,10000001\r\n"
                         "上海华东建材有限公司,-5,2010-04-15,货款,10000002\r\n"
                         "\"上海华东建材有限公司\",\"88,00\",2010-04-16,运费,10000003\r\n"
                         "上海华东建材有限公司,88.00,2010-04-16,\"运费，装卸\",10000004\r\n";

} // namespace

class TestBatchWindow : public WindowTest {
    Q_OBJECT


private slots:

    void problemsHoldThePrintUntilSkippedThenTheRestPrints()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        auto *w = new BatchWindow;
        w->show();
        QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("Combo1"))->currentText(), QStringLiteral("支票"));
        w->load(writeList(dir, kList));
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        const ListCheck &check = w->check();
        QCOMPARE(check.entries.size(), 4);
        QVERIFY(check.entries[0].ready());
        QCOMPARE(check.entries[1].problems.value(0).column, QStringLiteral("金额")); // row 3
        QCOMPARE(check.entries[2].problems.value(0).column, QStringLiteral("金额")); // row 4: "88,00"
        QVERIFY(check.entries[3].ready());
        auto *grid = w->findChild<QTableView *>(QStringLiteral("DataGrid1"));
        QCOMPARE(grid->model()->rowCount(), 4);
        QVERIFY(grid->model()->index(1, 6).data().toString().contains(QStringLiteral("金额不能为负数")));
        saveScreenshot(w, QStringLiteral("pldy"));

        const QString pdf = dir.filePath(QStringLiteral("批量.pdf"));
        w->choosePdf = [pdf](QWidget *, const QString &) { return pdf; };
        w->saveAsPdf();
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains(QStringLiteral("第3行“金额”")), qPrintable(prompter->lastText()));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(StoreFixture::column(history(), "pzhm").isEmpty());

        w->setSkipped(3, true);
        w->setSkipped(4, true);
        prompter->clear();
        w->saveAsPdf();
        QCOMPARE(pdftools::pageCount(pdf), 2);
        QCOMPARE(StoreFixture::column(history(), "pzhm"), (QStringList{"10000001", "10000004"}));
        QCOMPARE(StoreFixture::column(history(), "fkyt"), (QStringList{"货款", "运费，装卸"}));
        QVERIFY2(prompter->texts().value(0).startsWith(QStringLiteral("已打印 2 张，跳过 2 行，失败 0 张。")),
                 qPrintable(prompter->texts().join(QLatin1Char('|'))));

        // The same list again: the printed rows are repeats now and hold the print.
        QCOMPARE(w->check().entries[0].problems.size(), 1);
        QVERIFY(w->check().entries[0].problems[0].repeat);
        prompter->clear();
        w->saveAsPdf();
        QVERIFY(prompter->lastText().startsWith(QStringLiteral("清单中有问题")));
        QCOMPARE(StoreFixture::column(history(), "pzhm").size(), 2);
        // Unless the clerk says they are meant.
        w->findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(true);
        QVERIFY(w->check().entries[0].ready());
        delete w;
    }

    // A long list: the bar moves while it prints, and the cancel button stops it within a second.
    void theBarMovesAndTheCancelAnswersAtOnce()
    {
        QTemporaryDir dir;
        QByteArray list = "收款人,金额,日期,用途,支票号码\r\n";
        for (int i = 0; i < 5000; ++i)
            list += "上海华东建材有限公司," + QByteArray::number(1000 + i) + ".00,2010-04-14,货款,"
                + QByteArray::number(20000000 + i) + "\r\n";
        auto *w = new BatchWindow;
        w->show();
        w->load(writeList(dir, list));
        QCOMPARE(w->check().entries.size(), 5000);
        QVERIFY(w->check().entries.last().ready());
        const QString pdf = dir.filePath(QStringLiteral("批量.pdf"));
        w->choosePdf = [pdf](QWidget *, const QString &) { return pdf; };

        QList<int> shown;
        QElapsedTimer sinceCancel;
        QTimer watch;
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, w, [&] {
            auto *dialog = w->findChild<QProgressDialog *>();
            if (!dialog || !dialog->isVisible())
                return;
            if (shown.isEmpty() || shown.last() != dialog->value())
                shown << dialog->value();
            if (!sinceCancel.isValid() && shown.size() >= 3) { // the bar has moved twice
                sinceCancel.start();
                QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        // The summary, and when it came: what the clerk sees once the print has stopped.
        struct Summary : ui::Prompter {
            QElapsedTimer *since = nullptr;
            qint64 after = -1;
            QString text;
            ui::Button ask(const ui::Prompt &prompt) override
            {
                if (after < 0 && since->isValid())
                    after = since->elapsed();
                text = prompt.text;
                return ui::Ok;
            }
        } told;
        told.since = &sinceCancel;
        ui::setPrompter(&told);
        watch.start();
        w->saveAsPdf();
        watch.stop();
        ui::setPrompter(prompter.get());
        QVERIFY2(sinceCancel.isValid(), "the bar did not move before the list was done");
        QVERIFY2(told.after >= 0 && told.after < 1000, qPrintable(QString::number(told.after)));
        QVERIFY(shown.last() < 5000);
        const QString summary = told.text;
        QVERIFY2(summary.contains(QStringLiteral("取消")), qPrintable(summary));
        delete w;
    }

    void templateHoldsTheColumnsOfTheChosenVoucher()
    {
        QTemporaryDir dir;
        auto *w = new BatchWindow;
        w->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("进账单"));
        const QString path = dir.filePath(QStringLiteral("进账单.xlsx"));
        w->chooseTemplate = [path](QWidget *, const QString &) { return path; };
        w->saveTemplate();
        const sheets::Sheet sheet = sheets::readSheet(path);
        QVERIFY2(sheet.ok(), qPrintable(sheet.error));
        QCOMPARE(sheet.header, (QStringList{"付款人", "账号", "开户行", "金额", "日期", "用途", "票据号码", "票据种类",
                                            "票据张数"}));
        QVERIFY(sheet.rows.isEmpty());
        delete w;
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batchwindow.moc"
