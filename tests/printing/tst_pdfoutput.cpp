// A voucher saved as PDF, read back from outside with the poppler tools: every text where its
// twips say (points × 20), at the size given, on a page of the size given.

#include "pdftools.h"
#include "ui/fonts.h"
#include "printing/printing.h"

#include <QFile>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace printing;

namespace {

struct Placed {
    double x, y, size;
    QString text;
};

const QList<Placed> kTexts = {
    {1556, 2666, 9, QStringLiteral("2010")},
    {4636.5, 1216, 10.5, QStringLiteral("壹拾贰元叁角整")},
    {10046, 1816, 9, QStringLiteral("￥")},
    {100, 100, 6, QStringLiteral("xyz")},
    {1396, 3566.5, 14.25, QStringLiteral("货款")},
    {13000, 4200, 20, QStringLiteral("T")},
};

void cheque(PageWriter &w)
{
    w.setPageHeight(5000);
    w.setPageWidth(16000);
    for (const Placed &p : kTexts) {
        w.setCurrentX(p.x);
        w.setCurrentY(p.y);
        w.setFontSize(p.size);
        w.printText(p.text);
    }
    w.endDocument();
}

} // namespace

class TestPdfOutput : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        if (!pdftools::available())
            QSKIP("poppler tools (pdftotext, pdfinfo, pdftoppm) not installed");
        ui::installChineseFonts();
        QVERIFY(dir.isValid());
    }

    void textsStandAtTheirTwips()
    {
        const QString pdf = dir.filePath(QStringLiteral("cheque.pdf"));
        QString error;
        QVERIFY2(savePdf(cheque, pdf, QStringLiteral("支票"), &error), qPrintable(error));
        QCOMPARE(pdftools::pageCount(pdf), 1);
        const QList<pdftools::Word> words = pdftools::words(pdf);
        QCOMPARE(words.size(), kTexts.size());
        double heightPerPoint = 0;
        for (const Placed &p : kTexts) {
            const pdftools::Word *w = pdftools::find(words, p.text);
            QVERIFY2(w, qPrintable(p.text));
            const QString where = QStringLiteral("%1 at (%2, %3) twips, found (%4, %5)")
                                      .arg(p.text).arg(p.x).arg(p.y)
                                      .arg(w->box.left() * 20).arg(w->box.top() * 20);
            QVERIFY2(qAbs(w->box.left() * 20 - p.x) <= 2, qPrintable(where));
            QVERIFY2(qAbs(w->box.top() * 20 - p.y) <= 2, qPrintable(where));
            // Box height is the size times the face's height: the same ratio for every text when
            // each stands at its own size.
            const double ratio = w->box.height() / p.size;
            if (heightPerPoint == 0)
                heightPerPoint = ratio;
            QVERIFY2(qAbs(ratio / heightPerPoint - 1) < 0.01, qPrintable(p.text));
        }
        QVERIFY(heightPerPoint > 0.9 && heightPerPoint < 1.5);
    }

    void pageSizeFromTheTwipsGiven_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("wide, not turned") << 9000 << 15000 << QSizeF(750, 450);
        QTest::newRow("cheque strip") << 5000 << 16000 << QSizeF(800, 250);
        QTest::newRow("tall") << 15000 << 9000 << QSizeF(450, 750);
        QTest::newRow("not set: A4") << 0 << 0 << QSizeF(595.3, 841.9);
    }
    void pageSizeFromTheTwipsGiven()
    {
        QFETCH(int, height);
        QFETCH(int, width);
        QFETCH(QSizeF, points);
        const QString pdf = dir.filePath(QStringLiteral("size.pdf"));
        const auto routine = [&](PageWriter &w) {
            if (height)
                w.setPageHeight(height);
            if (width)
                w.setPageWidth(width);
            w.setCurrentX(1440);
            w.setCurrentY(1440);
            w.printText(QStringLiteral("T"));
            w.endDocument();
        };
        QVERIFY(savePdf(routine, pdf));
        const QSizeF size = pdftools::pageSize(pdf);
        QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        const QList<pdftools::Word> words = pdftools::words(pdf); // find() points into this list
        const pdftools::Word *t = pdftools::find(words, QStringLiteral("T"));
        QVERIFY(t);
        QVERIFY(qAbs(t->box.left() - 72) < 0.1);
    }

    void linesLandWhereDrawn()
    {
        const QString pdf = dir.filePath(QStringLiteral("lines.pdf"));
        const auto routine = [](PageWriter &w) {
            w.setPageHeight(9000);
            w.setPageWidth(12000);
            w.line(1140, 456, 10830, 456);
            w.line(2000, 1000, 2000, 4000);
            w.endDocument();
        };
        QVERIFY(savePdf(routine, pdf));
        const QImage img = pdftools::render(pdf, 144); // one pixel = 10 twips
        QCOMPARE(img.size(), QSize(1200, 900));
        // Horizontal line at y 456 twips, x 1140 to 10830.
        QVERIFY(pdftools::dark(img, 600, 45) || pdftools::dark(img, 600, 46));
        QVERIFY(!pdftools::dark(img, 600, 42) && !pdftools::dark(img, 600, 49));
        QVERIFY(pdftools::dark(img, 116, 45) || pdftools::dark(img, 116, 46));
        QVERIFY(!pdftools::dark(img, 110, 45) && !pdftools::dark(img, 110, 46));
        QVERIFY(pdftools::dark(img, 1081, 45) || pdftools::dark(img, 1081, 46));
        QVERIFY(!pdftools::dark(img, 1087, 45) && !pdftools::dark(img, 1087, 46));
        // Vertical line at x 2000 twips, y 1000 to 4000.
        QVERIFY(pdftools::dark(img, 199, 250) || pdftools::dark(img, 200, 250));
        QVERIFY(!pdftools::dark(img, 196, 250) && !pdftools::dark(img, 203, 250));
        QVERIFY(!pdftools::dark(img, 200, 94) && !pdftools::dark(img, 200, 406));
    }

    void aFailedSaveLeavesTheOldFile()
    {
        const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
        {
            QFile f(pdf);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        // Something in the way of the temporary file makes the writing fail.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(".old.pdf.part")));
        QString error;
        QVERIFY(!savePdf(cheque, pdf, QString(), &error));
        QVERIFY(error.contains(QStringLiteral("无法写入")));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));

        // Once the way is clear the file is replaced, and nothing is left beside it.
        QVERIFY(QDir(dir.path()).rmdir(QStringLiteral(".old.pdf.part")));
        QVERIFY2(savePdf(cheque, pdf, QString(), &error), qPrintable(error));
        QCOMPARE(pdftools::pageCount(pdf), 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral(".old.pdf.part"))));
    }

    void savingIntoAMissingFolderOrOntoAFolderFails()
    {
        QString error;
        QVERIFY(!savePdf(cheque, dir.filePath(QStringLiteral("no/such/folder/x.pdf")), QString(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!savePdf(cheque, dir.path(), QString(), &error));
        QVERIFY(error.contains(QStringLiteral("文件夹")));
    }
};

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"
