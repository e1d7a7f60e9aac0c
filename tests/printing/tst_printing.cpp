// Printing a voucher: where the printer backend puts things, when the history row is written, and
// what the user is offered when the printer is missing or fails.

#include "fakeprinter.h"
#include "fakespooler.h"
#include "pdftools.h"
#include "scriptedprompter.h"
#include "ui/fonts.h"
#include "printing/pagewriter_printer.h"
#include "printing/printing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QFontMetricsF>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace printing;

namespace {

constexpr int kDpi = 600; // the fake printer's resolution

// Runs once a print preview is the active modal window, then stops looking.
void whenPreviewShows(std::function<void(QPrintPreviewDialog *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto *d = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(d);
        }
    });
    timer->start();
}

int previewPages(QPrintPreviewDialog *d)
{
    auto *w = d->findChild<QPrintPreviewWidget *>();
    return w ? w->pageCount() : -1;
}

// The page of a wire voucher with three texts and a ruled line.
void voucher(PageWriter &w)
{
    w.setPageHeight(9000);
    w.setPageWidth(15000);
    w.setFontSize(9);
    w.setCurrentX(1556);
    w.setCurrentY(2666);
    w.printText(QStringLiteral("2010"));
    w.setFontSize(10.5);
    w.setCurrentX(4636.5);
    w.setCurrentY(1216);
    w.printText(QStringLiteral("壹拾贰元叁角整"));
    w.line(1140, 456, 10830, 456);
    w.setCurrentX(10046);
    w.printText(QStringLiteral("￥"));
    w.endDocument();
}

// A history row writer that counts its calls and notes what the printer had seen by then.
struct RowWriter {
    int rows = 0;
    int begunAtRow = -1;
    int drawnAtRow = -1;
    int endedAtRow = -1;
    FakePrintEngine *engine = nullptr;
    Issued callback()
    {
        return [this] {
            ++rows;
            if (engine) {
                begunAtRow = engine->begins;
                drawnAtRow = engine->drawings();
                endedAtRow = engine->ends;
            }
        };
    }
};

// A record of a print that says what it was told and when, and fails on demand.
struct WatchedRecord : IssueRecord {
    QStringList *log;
    bool refusePrepare = false;
    HandOver handOver;
    explicit WatchedRecord(QStringList *l) : log(l) {}
    bool prepare(const HandOver &h, QString *error) override
    {
        handOver = h;
        *log << QStringLiteral("prepare %1").arg(h.job);
        if (refusePrepare)
            *error = QStringLiteral("磁盘已满");
        return !refusePrepare;
    }
    bool finish(bool handedOver, QString *) override
    {
        *log << (handedOver ? QStringLiteral("recorded") : QStringLiteral("dropped"));
        return true;
    }
};

// Settings whose printer is the fake one (owned by the caller) and whose PDF path is given.
PrintSettings fakeSettings(FakePrintEngine *engine, const QString &pdfPath = QString())
{
    PrintSettings s;
    s.openPrinter = [engine]() -> std::unique_ptr<QPrinter> {
        if (!engine)
            return nullptr;
        auto p = std::make_unique<FakePrinter>(engine);
        p->setFullPage(false);
        return p;
    };
    s.choosePdfPath = [pdfPath](QWidget *, const QString &) { return pdfPath; };
    return s;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!qobject_cast<QDialog *>(w), qPrintable(w->metaObject()->className()));
    }

    // --- the painter backend ---------------------------------------------------------------

    void textStandsByItsTopLeftCorner_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole twips, 9 pt") << 1556.0 << 2666.0 << 9.0 << QStringLiteral("2010");
        QTest::newRow("half twips, 10.5 pt") << 4636.5 << 2694.5 << 10.5 << QStringLiteral("壹拾贰元叁角整");
        QTest::newRow("small print") << 1396.0 << 2966.0 << 6.0 << QStringLiteral("蓝石软件");
        QTest::newRow("left of the origin") << -57.0 << 100.0 << 20.0 << QStringLiteral("T");
        QTest::newRow("an odd size") << 10046.0 << 1816.0 << 9.75 << QStringLiteral("￥");
    }
    void textStandsByItsTopLeftCorner()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, size);
        QFETCH(QString, text);
        FakePrintEngine engine(kDpi);
        FakePrinter printer(&engine);
        {
            PrinterPageWriter w(printer);
            w.setFontSize(size);
            w.setCurrentX(x);
            w.setCurrentY(y);
            w.printText(text);
            w.endDocument();
        }
        QCOMPARE(engine.texts.size(), 1);
        const FakeText &t = engine.texts.first();
        QCOMPARE(t.text, text);
        QCOMPARE(t.font.family(), ui::songFamily());
        QCOMPARE(t.font.pointSizeF(), size); // exactly as given, not rounded to whole pixels

        QFont expectedFont(ui::songFamily());
        expectedFont.setPointSizeF(size);
        const double ascent = QFontMetricsF(expectedFont, &printer).ascent();
        QVERIFY(ascent > size * kDpi / 72 * 0.5); // a real font, a real ascent
        // Text layout keeps positions in 1/64 of a device pixel, far below a twip.
        const double grain = 1.0 / 64;
        QVERIFY2(qAbs(t.baseline.x() - x * kDpi / 1440) <= grain, qPrintable(QString::number(t.baseline.x())));
        QVERIFY2(qAbs(t.baseline.y() - (y * kDpi / 1440 + ascent)) <= grain,
                 qPrintable(QString::number(t.baseline.y())));
    }

    void fontSizeLastsUntilSetAgain()
    {
        FakePrintEngine engine(kDpi);
        FakePrinter printer(&engine);
        PrinterPageWriter w(printer);
        w.printText(QStringLiteral("a")); // never set: 9 points
        w.setFontSize(12);
        w.printText(QStringLiteral("b"));
        w.setCurrentX(100);
        w.printText(QStringLiteral("c"));
        w.setFontSize(0); // not a size; the last one stays
        w.printText(QStringLiteral("d"));
        w.endDocument();
        QCOMPARE(engine.texts.size(), 4);
        QCOMPARE(engine.texts[0].font.pointSizeF(), 9.0);
        QCOMPARE(engine.texts[1].font.pointSizeF(), 12.0);
        QCOMPARE(engine.texts[2].font.pointSizeF(), 12.0);
        QCOMPARE(engine.texts[3].font.pointSizeF(), 12.0);
    }

    void linesRunBetweenTheirTwipsPoints()
    {
        FakePrintEngine engine(kDpi);
        FakePrinter printer(&engine);
        PrinterPageWriter w(printer);
        w.line(1140, 456, 10830, 456);
        w.line(1140, 456, 1140, 5130.5);
        w.endDocument();
        QCOMPARE(engine.lines.size(), 2);
        QCOMPARE(engine.lines[0], QLineF(475, 190, 4512.5, 190));
        QCOMPARE(engine.lines[1], QLineF(475, 190, 475, 5130.5 * kDpi / 1440));
        QCOMPARE(engine.lineWidths[0], 10.0 * kDpi / 1440); // half a point
    }

    void pageSizeIsSetBeforeTheJobStarts_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("wide wire voucher") << 9000 << 15000 << QSizeF(750, 450);
        QTest::newRow("cheque strip") << 5000 << 16000 << QSizeF(800, 250);
        QTest::newRow("tall") << 15000 << 9000 << QSizeF(450, 750);
        QTest::newRow("not set: the printer's paper") << 0 << 0 << QSizeF(595, 842);
        QTest::newRow("height only: the paper's width") << 9000 << 0 << QSizeF(595, 450);
    }
    void pageSizeIsSetBeforeTheJobStarts()
    {
        QFETCH(int, height);
        QFETCH(int, width);
        QFETCH(QSizeF, points);
        FakePrintEngine engine(kDpi);
        FakePrinter printer(&engine);
        PrinterPageWriter w(printer);
        if (height)
            w.setPageHeight(height);
        if (width)
            w.setPageWidth(width);
        w.setCurrentX(100);
        w.printText(QStringLiteral("x"));
        w.setPageHeight(3000); // too late for this document
        w.endDocument();
        QCOMPARE(engine.layoutsAtBegin.size(), 1);
        const QPageLayout layout = engine.layoutsAtBegin.first();
        QCOMPARE(layout.fullRectPoints().size(), points.toSize());
        QCOMPARE(layout.orientation(), QPageLayout::Portrait);
    }

    void drawingAfterTheEndStartsANewDocument()
    {
        FakePrintEngine engine(kDpi);
        FakePrinter printer(&engine);
        PrinterPageWriter w(printer);
        w.setPageHeight(5000);
        w.printText(QStringLiteral("a"));
        w.endDocument();
        w.setPageHeight(6000);
        w.printText(QStringLiteral("b"));
        w.endDocument();
        QCOMPARE(engine.begins, 2);
        QCOMPARE(engine.ends, 2);
        QCOMPARE(engine.layoutsAtBegin[1].fullRectPoints().height(), 300);
    }

    // --- direct print --------------------------------------------------------------------------

    // A printer that sends its own job (no queue of the system's) has sent it when it ends.
    void aPrinterThatSendsItsOwnJobIsRecordedWhenTheJobHasEnded()
    {
        ScriptedPrompter prompter;
        FakePrintEngine engine(kDpi);
        RowWriter row;
        row.engine = &engine;
        const PrintOutcome outcome = printVoucher(voucher, nullptr, row.callback(), fakeSettings(&engine));
        QCOMPARE(outcome, PrintOutcome::Printed);
        QCOMPARE(row.rows, 1);
        QCOMPARE(row.begunAtRow, 1);
        QCOMPARE(row.drawnAtRow, 4);
        QCOMPARE(row.endedAtRow, 1);
        QCOMPARE(engine.texts.size(), 3);
        QCOMPARE(engine.lines.size(), 1);
        QCOMPARE(engine.ends, 1);
        QCOMPARE(engine.layoutsAtBegin.first().fullRectPoints().size(), QSize(750, 450));
        QVERIFY(prompter.prompts.isEmpty()); // a good print says nothing
    }

    // A system queue gets the job once it is drawn whole and the record has written it down; the
    // record completes with the queue's answer. What fails on the way prints nothing unrecorded.
    void aQueueGetsTheJobOnlyAfterTheRecordHasWrittenItDown_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("told");
        QTest::newRow("all well") << "" << int(PrintOutcome::Printed)
                                  << QStringList{"create 1", "prepare 1", "send 1", "recorded"} << "";
        QTest::newRow("queue refuses the job") << "job" << int(PrintOutcome::Cancelled)
                                               << QStringList{"create refused"} << "无法开始打印";
        QTest::newRow("record cannot be written") << "record" << int(PrintOutcome::Failed)
                                                  << QStringList{"create 1", "prepare 1", "cancel 1"}
                                                  << "打印记录无法保存：磁盘已满";
        QTest::newRow("document does not arrive")
            << "document" << int(PrintOutcome::Cancelled)
            << QStringList{"create 1", "prepare 1", "send 1", "cancel 1", "dropped"} << "队列出错";
    }
    void aQueueGetsTheJobOnlyAfterTheRecordHasWrittenItDown()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        QFETCH(QStringList, steps);
        QFETCH(QString, told);
        ScriptedPrompter prompter;
        prompter.answer(ui::Cancel); // offered preview or PDF when the printer did not take it
        FakeSpooler queue;
        queue.refuseJob = fault == "job";
        queue.refuseDocument = fault == "document";
        FakePrintEngine engine(kDpi);
        auto record = std::make_shared<WatchedRecord>(&queue.calls); // one log, in the order of events
        record->refusePrepare = fault == "record";
        int drawnWhenSent = -1;
        queue.whileSending = [&] { drawnWhenSent = engine.drawings(); };
        PrintSettings settings = fakeSettings(&engine);
        settings.documentName = QStringLiteral("支票打印");
        QCOMPARE(int(printVoucher(voucher, nullptr, Issued(record), settings)), outcome);
        QCOMPARE(queue.calls, steps);
        if (fault.isEmpty()) {
            QCOMPARE(drawnWhenSent, 4); // every page drawn before the queue gets a byte
            QCOMPARE(queue.documents.size(), 1);
            QCOMPARE(record->handOver.target, HandOver::Target::Printer);
            QCOMPARE(record->handOver.job, 1);
            QCOMPARE(record->handOver.title, QStringLiteral("支票打印"));
            QVERIFY(prompter.prompts.isEmpty());
        } else {
            QVERIFY(!prompter.prompts.isEmpty());
            QVERIFY2(prompter.prompts.first().text.contains(told), qPrintable(prompter.prompts.first().text));
            QVERIFY(!queue.calls.contains("recorded"));
        }
    }

    void aRoutineWithoutAnEndStillGoesOut()
    {
        ScriptedPrompter prompter;
        FakePrintEngine engine(kDpi);
        RowWriter row;
        const auto routine = [](PageWriter &w) { w.printText(QStringLiteral("T")); };
        QCOMPARE(printVoucher(routine, nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Printed);
        QCOMPARE(engine.ends, 1);
        QCOMPARE(row.rows, 1);
    }

    void printerThatCannotStart_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("withPath");
        QTest::addColumn<int>("outcome");
        QTest::newRow("give up") << int(ui::Cancel) << true << int(PrintOutcome::Cancelled);
        QTest::newRow("save as PDF") << int(ui::No) << true << int(PrintOutcome::SavedPdf);
        QTest::newRow("save as PDF, no file chosen") << int(ui::No) << false << int(PrintOutcome::Cancelled);
    }
    void printerThatCannotStart()
    {
        QFETCH(int, answer);
        QFETCH(bool, withPath);
        QFETCH(int, outcome);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("凭证.pdf"));
        ScriptedPrompter prompter;
        prompter.answer(ui::Button(answer));
        FakePrintEngine engine(kDpi);
        engine.failBegin = true;
        RowWriter row;
        QCOMPARE(int(printVoucher(voucher, nullptr, row.callback(), fakeSettings(&engine, withPath ? pdf : QString()))),
                 outcome);
        // The job never started; only a complete PDF file is an issued voucher with its row.
        QCOMPARE(row.rows, outcome == int(PrintOutcome::SavedPdf) ? 1 : 0);
        QCOMPARE(prompter.prompts.size(), 1);
        const ui::Prompt &p = prompter.prompts.first();
        QVERIFY2(p.text.contains(QStringLiteral("打印机“假打印机”无法开始打印")), qPrintable(p.text));
        QCOMPARE(p.buttons, ui::Buttons(ui::Yes | ui::No | ui::Cancel));
        QCOMPARE(p.yesCaption, QStringLiteral("预览(&V)"));
        QCOMPARE(p.noCaption, QStringLiteral("另存为PDF(&S)"));
        QCOMPARE(p.cancelCaption, QStringLiteral("取消"));
        QCOMPARE(p.title, QStringLiteral("打印"));
        QCOMPARE(QFile::exists(pdf), outcome == int(PrintOutcome::SavedPdf));
        if (QFile::exists(pdf) && pdftools::available())
            QVERIFY(pdftools::find(pdftools::words(pdf), QStringLiteral("壹拾贰元叁角整")));
    }

    void failureAfterTheStartIsToldAndKeepsTheRow_data()
    {
        QTest::addColumn<bool>("endFails");
        QTest::addColumn<bool>("errorState");
        QTest::newRow("end refused") << true << false;
        QTest::newRow("printer in error") << false << true;
    }
    void failureAfterTheStartIsToldAndKeepsTheRow()
    {
        QFETCH(bool, endFails);
        QFETCH(bool, errorState);
        ScriptedPrompter prompter;
        FakePrintEngine engine(kDpi);
        engine.failEnd = endFails;
        engine.errorAfterEnd = errorState;
        RowWriter row;
        QCOMPARE(printVoucher(voucher, nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Failed);
        QCOMPARE(row.rows, 1);
        QCOMPARE(prompter.prompts.size(), 1);
        QVERIFY(prompter.lastText().contains(QStringLiteral("打印过程中出错")));
        QCOMPARE(prompter.prompts.first().icon, ui::Icon::Critical);
        QCOMPARE(prompter.prompts.first().buttons, ui::Buttons(ui::Ok));
    }

    // --- no printer ----------------------------------------------------------------------------

    void noPrinter_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("withPath");
        QTest::addColumn<int>("outcome");
        QTest::newRow("preview") << int(ui::Yes) << true << int(PrintOutcome::Previewed);
        QTest::newRow("save as PDF") << int(ui::No) << true << int(PrintOutcome::SavedPdf);
        QTest::newRow("save as PDF, no file chosen") << int(ui::No) << false << int(PrintOutcome::Cancelled);
        QTest::newRow("give up") << int(ui::Cancel) << true << int(PrintOutcome::Cancelled);
    }
    void noPrinter()
    {
        QFETCH(int, answer);
        QFETCH(bool, withPath);
        QFETCH(int, outcome);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("v.pdf"));
        ScriptedPrompter prompter;
        prompter.answer(ui::Button(answer));
        int pagesShown = -1;
        if (answer == ui::Yes)
            whenPreviewShows([&](QPrintPreviewDialog *d) {
                pagesShown = previewPages(d);
                d->reject();
            });
        RowWriter row;
        QCOMPARE(int(printVoucher(voucher, nullptr, row.callback(), fakeSettings(nullptr, withPath ? pdf : QString()))),
                 outcome);
        QCOMPARE(row.rows, outcome == int(PrintOutcome::SavedPdf) ? 1 : 0);
        QCOMPARE(prompter.prompts.size(), 1);
        QVERIFY(prompter.lastText().startsWith(QStringLiteral("系统中没有可用的打印机")));
        QCOMPARE(prompter.prompts.first().buttons, ui::Buttons(ui::Yes | ui::No | ui::Cancel));
        QCOMPARE(prompter.prompts.first().yesCaption, QStringLiteral("预览(&V)"));
        QCOMPARE(prompter.prompts.first().noCaption, QStringLiteral("另存为PDF(&S)"));
        if (answer == ui::Yes)
            QCOMPARE(pagesShown, 1);
        QCOMPARE(QFile::exists(pdf), outcome == int(PrintOutcome::SavedPdf));
    }

    void pdfThatCannotBeWrittenIsTold()
    {
        ScriptedPrompter prompter;
        prompter.answer(ui::No);
        RowWriter row;
        const QString bad = QStringLiteral("/nonexistent-dir/凭证.pdf");
        QCOMPARE(printVoucher(voucher, nullptr, row.callback(), fakeSettings(nullptr, bad)), PrintOutcome::Failed);
        QCOMPARE(prompter.prompts.size(), 2);
        QVERIFY2(prompter.lastText().contains(QStringLiteral("PDF文件保存失败")), qPrintable(prompter.lastText()));
        QCOMPARE(row.rows, 0);
    }

    // --- the preview ---------------------------------------------------------------------------

    void previewDrawsWithoutARow()
    {
        FakePrintEngine engine(kDpi);
        RowWriter row;
        RecordingPageWriter rec;
        voucher(rec);
        int pagesShown = -1;
        whenPreviewShows([&](QPrintPreviewDialog *d) {
            pagesShown = previewPages(d);
            d->reject();
        });
        QCOMPARE(previewVoucher(rec.ops(), nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Previewed);
        QCOMPARE(pagesShown, 1);
        QCOMPARE(row.rows, 0);
        QCOMPARE(engine.begins, 0); // the preview draws into its own pictures, not on the printer
    }

    void printingFromThePreviewToAFileIsAPdf()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("preview.pdf"));
        PrintSettings settings;
        settings.openPrinter = [pdf] {
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            return p;
        };
        RowWriter row;
        RecordingPageWriter rec;
        voucher(rec);
        whenPreviewShows([](QPrintPreviewDialog *d) {
            d->findChild<QPrintPreviewWidget *>()->print(); // what the print button does once a file is chosen
            d->accept();
        });
        QCOMPARE(previewVoucher(rec.ops(), nullptr, row.callback(), settings), PrintOutcome::SavedPdf);
        QCOMPARE(row.rows, 1); // a complete PDF file is an issued voucher
        QCOMPARE(pdftools::pageSize(pdf), QSizeF(750, 450));
        const auto words = pdftools::words(pdf);
        const pdftools::Word *w = pdftools::find(words, QStringLiteral("2010"));
        QVERIFY(w);
        // A file counts from the paper's corner.
        QVERIFY(qAbs(w->box.left() * 20 - 1556) <= 2);
        QVERIFY(qAbs(w->box.top() * 20 - 2666) <= 2);
    }

    void printingFromThePreviewToAPrinterWritesTheRow()
    {
        FakePrintEngine engine(kDpi);
        {
            FakePrinter probe(&engine);
            if (probe.outputFormat() != QPrinter::NativeFormat)
                QSKIP("Qt offers no native printing here");
        }
        RowWriter row;
        row.engine = &engine;
        RecordingPageWriter rec;
        voucher(rec);
        whenPreviewShows([](QPrintPreviewDialog *d) {
            d->findChild<QPrintPreviewWidget *>()->print();
            d->accept();
        });
        QCOMPARE(previewVoucher(rec.ops(), nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Printed);
        QCOMPARE(row.rows, 1);
        QCOMPARE(row.drawnAtRow, 4); // the whole job, then the row
        QCOMPARE(engine.texts.size(), 3);
    }

    // --- the origin of a real print ---------------------------------------------------------------

    // Qt's page layout keeps margins of its own; a voucher counts from what the printer reports
    // it can print, on every path to a printer.
    void jobCountsFromThePrintersMinimumMargins()
    {
        ScriptedPrompter prompter;
        const QMarginsF hardware(18, 12, 14, 9);
        FakePrintEngine engine(kDpi, hardware);
        RowWriter row;
        QCOMPARE(printVoucher(voucher, nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Printed);
        QCOMPARE(engine.layoutsAtBegin.size(), 1);
        const QPageLayout layout = engine.layoutsAtBegin.first();
        QCOMPARE(layout.mode(), QPageLayout::StandardMode);
        QCOMPARE(layout.marginsPoints(), hardware.toMargins());
        QCOMPARE(layout.fullRectPoints().size(), QSize(750, 450));
    }

    void previewCountsFromThePrintersMinimumMarginsAndFillsTheScreen()
    {
        const QMarginsF hardware(18, 12, 14, 9);
        FakePrintEngine engine(kDpi, hardware);
        RowWriter row;
        RecordingPageWriter rec;
        voucher(rec);
        QMarginsF shownMargins;
        bool fullPage = true;
        int width = 0;
        QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
        whenPreviewShows([&](QPrintPreviewDialog *d) {
            shownMargins = d->printer()->pageLayout().margins(QPageLayout::Point);
            fullPage = d->printer()->fullPage();
            width = d->width();
            zoom = d->findChild<QPrintPreviewWidget *>()->zoomMode();
            d->reject();
        });
        QCOMPARE(previewVoucher(rec.ops(), nullptr, row.callback(), fakeSettings(&engine)), PrintOutcome::Previewed);
        QCOMPARE(shownMargins, hardware);
        QVERIFY(!fullPage);
        QCOMPARE(zoom, QPrintPreviewWidget::FitToWidth);
        const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
        QVERIFY2(width >= screenWidth * 0.8, qPrintable(QStringLiteral("%1 of %2").arg(width).arg(screenWidth)));
        QCOMPARE(row.rows, 0);
    }

    // --- the PDF file the user is offered ---------------------------------------------------------

    void proposedPdfFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("voucher and payee") << QStringLiteral("支票-上海华东建材有限公司")
                                           << QStringLiteral("支票-上海华东建材有限公司-20100414-150405.pdf");
        QTest::newRow("characters a file name cannot hold")
            << QStringLiteral("支票-A/B\\C:D*E?F\"G<H>I|J") << QStringLiteral("支票-A_B_C_D_E_F_G_H_I_J-20100414-150405.pdf");
        QTest::newRow("a line break") << QStringLiteral("进账单-甲\n乙") << QStringLiteral("进账单-甲_乙-20100414-150405.pdf");
        QTest::newRow("no name") << QString() << QStringLiteral("凭证-20100414-150405.pdf");
        QTest::newRow("hidden file") << QStringLiteral("..") << QStringLiteral("_..-20100414-150405.pdf");
    }
    void proposedPdfFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(printing::proposedPdfFileName(name, QDateTime(QDate(2010, 4, 14), QTime(15, 4, 5))), expected);
    }

    void pdfDialogProposesANameInAnExistingFolder()
    {
        ScriptedPrompter prompter;
        prompter.answer(ui::No);
        QString proposed;
        PrintSettings s = fakeSettings(nullptr);
        s.pdfName = QStringLiteral("支票-上海华东建材有限公司");
        s.choosePdfPath = [&proposed](QWidget *, const QString &path) {
            proposed = path;
            return QString(); // the user cancels
        };
        RowWriter row;
        QCOMPARE(printVoucher(voucher, nullptr, row.callback(), s), PrintOutcome::Cancelled);
        const QFileInfo file(proposed);
        QVERIFY2(file.dir().exists(), qPrintable(proposed));
        QVERIFY2(QRegularExpression(QStringLiteral("^支票-上海华东建材有限公司-\\d{8}-\\d{6}\\.pdf$"))
                     .match(file.fileName()).hasMatch(),
                 qPrintable(file.fileName()));
        QCOMPARE(file.absolutePath(), QDir(documentsFolder()).absolutePath());
        QCOMPARE(row.rows, 0);
    }

    void documentsFolderFallsBackToHome()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldDocs = qgetenv("XDG_DOCUMENTS_DIR"),
                         oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
        qunsetenv("XDG_DOCUMENTS_DIR");
        const QString withoutDocuments = documentsFolder();
        QDir(home.path()).mkdir(QStringLiteral("Documents"));
        const QString withDocuments = documentsFolder();
        qputenv("HOME", oldHome);
        if (oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
        if (!oldDocs.isNull())
            qputenv("XDG_DOCUMENTS_DIR", oldDocs);
        QCOMPARE(withoutDocuments, home.path());
        QCOMPARE(withDocuments, home.filePath(QStringLiteral("Documents")));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
