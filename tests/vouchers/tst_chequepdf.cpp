// A filled cheque printed from the window all the way to paper: a PDF file read back with poppler,
// and the system's default printer when that is the PDF printer.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "scriptedprompter.h"
#include "store/appdir.h"
#include "store/profile.h"
#include "storefixture.h"
#include "ui/fonts.h"
#include "vouchers/chequewindow.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>


#include <memory>

using namespace vouchers;

namespace {

const QString kPayee = QStringLiteral("上海华东建材有限公司");

// Where the payee and the 分 digit of 1234.57 stand, in twips.
constexpr double kPayeeX = 4636, kPayeeY = 1216;
constexpr double kFenX = 10046 + 220 * 9, kFenY = 1816;

QLineEdit *edit(QWidget *w, const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); }
QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(QLatin1String(name)); }

void fill(ChequeWindow *w)
{
    QTest::keyClicks(edit(w, "Text21"), QStringLiteral("88776655"));
    w->findChild<QDateEdit *>(QStringLiteral("DTPicker1"))->setDate(QDate(2010, 4, 14));
    QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
    QTest::keyClicks(edit(w, "Text8"), QStringLiteral("1234.57"));
    edit(w, "Text19")->setText(QStringLiteral("货款"));
}

} // namespace

class TestChequePdf : public WindowTest {
    Q_OBJECT

    QPointer<ChequeWindow> window;
    QString m_job;

    ChequeWindow *open()
    {
        window = new ChequeWindow;
        window->show();
        return window;
    }

private slots:
    void initTestCase()
    {
        ui::installChineseFonts();
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
    }


    void cleanup()
    {
        delete window.data();
        WindowTest::cleanup();
        if (!m_job.isEmpty())
            QFile::remove(m_job);
        m_job.clear();
    }

    void payeeAndFenDigitStandAtTheirTwipsInAPdf()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("cheque.pdf"));
        ChequeWindow *w = open();
        // The print path as it is, on a printer that writes a file: origin at the paper's corner.
        w->printSettings().openPrinter = [pdf] {
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            p->setFullPage(true);
            p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
            return p;
        };
        fill(w);
        QTest::mouseClick(button(w, "Command9"), Qt::LeftButton);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzhm"), QStringList{"88776655"});

        const QSizeF page = pdftools::pageSize(pdf);
        QVERIFY2(qAbs(page.width() - 800) <= 1 && qAbs(page.height() - 250) <= 1,
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(page.width()).arg(page.height())));
        const QList<pdftools::Word> words = pdftools::words(pdf);
        QStringList seen;
        for (const pdftools::Word &word : words)
            seen << word.text;
        for (const auto &[text, x, y] : {std::tuple{kPayee, kPayeeX, kPayeeY}, {QStringLiteral("7"), kFenX, kFenY}}) {
            const pdftools::Word *found = pdftools::find(words, text);
            QVERIFY2(found, qPrintable(text + QStringLiteral(" not among: ") + seen.join(QLatin1Char(' '))));
            const QString where = QStringLiteral("%1 at (%2, %3) twips, expected (%4, %5)")
                                      .arg(text).arg(found->box.left() * 20).arg(found->box.top() * 20).arg(x).arg(y);
            QVERIFY2(qAbs(found->box.left() * 20 - x) <= 2, qPrintable(where));
            QVERIFY2(qAbs(found->box.top() * 20 - y) <= 2, qPrintable(where));
        }
        QVERIFY(pdftools::find(words, QStringLiteral("贰零壹零")));
    }

    // The same cheque through two CUPS queues that write PDF files: one whose PPD declares no
    // hardware margins and one whose PPD declares margins of its own (tests/data/margins.ppd,
    // installed by scripts/printer.sh). The payee must stand at the queue's margin, read from its
    // PPD file, plus base plus calibration.
    void printsFromThePrintableAreaOfTheQueue_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::newRow("no hardware margins") << QStringLiteral("PDF");
        QTest::newRow("margins 18 pt left, 12 pt top") << QStringLiteral("PDF-margins");
    }
    void printsFromThePrintableAreaOfTheQueue()
    {
        QFETCH(QString, queue);
        if (!pdftools::isPdfQueue(queue))
            QSKIP("the PDF queue is not set up (as root: bash scripts/printer.sh)");
        const std::optional<QMarginsF> margins = pdftools::ppdHardwareMargins(queue);
        QVERIFY2(margins, "the queue's PPD file declares no hardware margins");

        // Calibration: everything 1 mm right and 1 mm up, the payee 2 mm right and 3 mm down.
        const store::Profile profile(store::appFile(QStringLiteral("mqtx.ini")));
        for (const auto &[key, value] : {std::pair{"text1", "57"}, {"text31", "-57"}, {"text77", "114"}, {"text78", "171"}})
            QVERIFY(profile.write(QStringLiteral("MyApp"), QLatin1String(key), QLatin1String(value)));
        const double payeeX = kPayeeX + 57 + 114, payeeY = kPayeeY - 57 + 171;

        ChequeWindow *w = open();
        const QString title = QStringLiteral("lanshi-cheque-%1-%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QDateTime::currentMSecsSinceEpoch());
        w->printSettings().documentName = title;
        w->printSettings().openPrinter = [queue] { return printerFor(QPrinterInfo::printerInfo(queue)); };
        // The same drawing kept as a file too: the printer's PDF loses the text's character codes,
        // so the payee is recognised there by its place and size, not by its letters.
        QTemporaryDir dir;
        const QString reference = dir.filePath(QStringLiteral("reference.pdf"));
        w->setPrintPath([w, reference](const PrintRoutine &routine, QWidget *parent, const Issued &issued) {
            savePdf(routine, reference);
            return printVoucher(routine, parent, issued, w->printSettings());
        });
        fill(w);
        QTest::mouseClick(button(w, "Command9"), Qt::LeftButton);
        QVERIFY2(prompter->prompts.isEmpty(), qPrintable(prompter->texts().join(QLatin1Char('|'))));
        QCOMPARE(StoreFixture::column(store::statements::history(), "pzhm"), QStringList{"88776655"});
        const pdftools::Word *drawn = nullptr;
        const QList<pdftools::Word> referenceWords = pdftools::words(reference);
        QVERIFY(drawn = pdftools::find(referenceWords, kPayee));
        QVERIFY2(qAbs(drawn->box.left() * 20 - payeeX) <= 2 && qAbs(drawn->box.top() * 20 - payeeY) <= 2,
                 qPrintable(QStringLiteral("payee at (%1, %2) twips in the file")
                                .arg(drawn->box.left() * 20).arg(drawn->box.top() * 20)));

        QTRY_VERIFY_WITH_TIMEOUT(!(m_job = pdftools::jobFile(pdftools::pdfPrinterOutput(), title)).isEmpty(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(pdftools::pageCount(m_job), 1, 20000);
        // The page as the cheque sets it, not rounded by the way through CUPS.
        const QSizeF page = pdftools::pageSize(m_job);
        QVERIFY2(qAbs(page.width() - 800) < 0.1 && qAbs(page.height() - 250) < 0.1,
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(page.width()).arg(page.height())));
        // The printer's PDF keeps no character codes (and other font boxes), so the payee is
        // found by its ink: the file's ink, moved by the queue's margin.
        const QRectF drawnInk = pdftools::inkWithin(reference, drawn->box.adjusted(-1, -1, 1, 1));
        QVERIFY(!drawnInk.isEmpty());
        const QRectF expected = drawnInk.translated(margins->left(), margins->top());
        const double oneMm = 72 / 25.4;
        const QRectF found = pdftools::inkWithin(m_job, expected.adjusted(-oneMm, -oneMm, oneMm, oneMm));
        const QString where = QStringLiteral("payee ink at (%1, %2) pt, %3 wide; expected (%4, %5) pt, %6 wide")
                                  .arg(found.left()).arg(found.top()).arg(found.width())
                                  .arg(expected.left()).arg(expected.top()).arg(expected.width());
        const double halfMm = oneMm / 2;
        QVERIFY2(qAbs(found.left() - expected.left()) <= halfMm, qPrintable(where));
        QVERIFY2(qAbs(found.top() - expected.top()) <= halfMm, qPrintable(where));
        QVERIFY2(qAbs(found.width() - expected.width()) <= halfMm, qPrintable(where));
        QVERIFY2(qAbs(found.height() - expected.height()) <= halfMm, qPrintable(where));
    }
};

QTEST_MAIN(TestChequePdf)
#include "tst_chequepdf.moc"
