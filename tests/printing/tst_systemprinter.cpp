// A voucher through the system's default printer, no dialog, when that printer is the PDF printer
// (scripts/printer.sh sets it up): the job's PDF comes out with the text where it belongs, counted
// from the printable area.

#include "pdftools.h"
#include "scriptedprompter.h"
#include "ui/fonts.h"
#include "printing/printing.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>


using namespace printing;

namespace {

void voucher(PageWriter &w)
{
    w.setPageHeight(5000);
    w.setPageWidth(16000);
    w.setFontSize(20);
    w.setCurrentX(3000);
    w.setCurrentY(1500);
    w.printText(QStringLiteral("田"));
    w.endDocument();
}

} // namespace

class TestSystemPrinter : public QObject {
    Q_OBJECT

    QString m_job;

private slots:
    void initTestCase()
    {
        ui::installChineseFonts();
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull())
            QSKIP("no default printer (as root: bash scripts/printer.sh)");
        // Only a PDF printer: anything else would put a test voucher on paper.
        const QString device = pdftools::run(QStringLiteral("lpstat"), {QStringLiteral("-v"), printer.printerName()});
        if (!device.contains(QLatin1String("cups-pdf:")))
            QSKIP("the default printer is not the PDF printer");
    }

    void cleanup()
    {
        if (!m_job.isEmpty())
            QFile::remove(m_job);
        m_job.clear();
    }

    void printsThroughTheDefaultPrinterWithoutADialog()
    {
        const QString outDir = pdftools::pdfPrinterOutput();
        const QString title = QStringLiteral("lanshi-test-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QDateTime::currentMSecsSinceEpoch());
        ScriptedPrompter prompter;
        PrintSettings settings;
        settings.documentName = title;
        int rows = 0;
        QCOMPARE(printVoucher(voucher, nullptr, [&rows] { ++rows; }, settings), PrintOutcome::Printed);
        QCOMPARE(rows, 1);
        QVERIFY(prompter.prompts.isEmpty());

        QTRY_VERIFY_WITH_TIMEOUT(!(m_job = pdftools::jobFile(outDir, title)).isEmpty(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(pdftools::pageCount(m_job), 1, 20000); // written to the end

        const QSizeF size = pdftools::pageSize(m_job);
        QVERIFY2(qAbs(size.width() - 800) < 0.1 && qAbs(size.height() - 250) < 0.1,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));

        // The same drawing in a file counts from the paper's corner; on the printer it must stand
        // the printable area's margin further in, as the queue's PPD file declares it.
        const std::optional<QMarginsF> margins = pdftools::ppdHardwareMargins(QPrinterInfo::defaultPrinter().printerName());
        QVERIFY(margins);
        QTemporaryDir dir;
        const QString reference = dir.filePath(QStringLiteral("reference.pdf"));
        QVERIFY(savePdf(voucher, reference));
        const QRectF expected = pdftools::inkBox(reference).translated(margins->left(), margins->top());
        const QRectF found = pdftools::inkBox(m_job);
        QVERIFY(!expected.isEmpty());
        QVERIFY(!found.isEmpty());
        const double halfMm = 72 / 25.4 / 2;
        const QString where = QStringLiteral("ink at (%1, %2) pt, expected (%3, %4) pt")
                                  .arg(found.left()).arg(found.top()).arg(expected.left()).arg(expected.top());
        QVERIFY2(qAbs(found.left() - expected.left()) <= halfMm, qPrintable(where));
        QVERIFY2(qAbs(found.top() - expected.top()) <= halfMm, qPrintable(where));
        QVERIFY2(qAbs(found.width() - expected.width()) <= halfMm, qPrintable(where)); // same size of text
    }
};

QTEST_MAIN(TestSystemPrinter)
#include "tst_systemprinter.moc"
