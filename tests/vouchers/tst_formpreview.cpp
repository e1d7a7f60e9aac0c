// 套打预览: the voucher drawn over a scan of its blank form stands where the printer puts it, to a
// pixel of the scan, also after a calibration change that is typed and not yet saved.

#include "windowtest.h"
#include "../printing/pdftools.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "ui/fonts.h"
#include "voucherharness.h"
#include "vouchers/formpreview.h"
#include "vouchers/depositwindow.h"
#include "vouchers/chequewindow.h"

#include <QDateEdit>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

using namespace vouchers;

namespace {

constexpr int kDpi = 300;

// The box around the dark pixels of an image inside an area (pixels).
QRect inkIn(const QImage &image, const QRect &area)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    const QRect r = area.intersected(grey.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (grey.constScanLine(y)[x] < 128) {
                x0 = qMin(x0, x);
                y0 = qMin(y0, y);
                x1 = qMax(x1, x);
                y1 = qMax(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// A blank scan of the cheque's paper at 300 dpi, stating its resolution. For the screenshots it
// carries the look of a printed form in light colours (the comparisons look only for dark ink).
QString blankScan(const QTemporaryDir &dir, int widthTwips, int heightTwips)
{
    QImage scan(widthTwips * kDpi / 1440, heightTwips * kDpi / 1440, QImage::Format_RGB32);
    scan.fill(QColor(250, 252, 248));
    if (!qEnvironmentVariableIsEmpty("LANSHI_SCREENSHOTS")) {
        QPainter p(&scan);
        p.scale(kDpi / 1440.0, kDpi / 1440.0);
        p.setPen(QPen(QColor(150, 200, 160), 12));
        p.drawRect(QRectF(300, 300, 3300, 4300));   // counterfoil
        p.drawRect(QRectF(3700, 300, 12000, 4300)); // cheque
        for (int k = 0; k < 10; ++k)
            p.drawRect(QRectF(10000 + 220 * k, 1790, 220, 280));
        QFont f(ui::songFamily());
        f.setPixelSize(130);
        p.setFont(f);
        p.setPen(QColor(120, 180, 140));
        const std::pair<QPointF, const char *> labels[] = {
            {{3800, 1040}, "出票日期（大写）"}, {{3800, 1340}, "收款人："}, {{3800, 1740}, "人民币（大写）"},
            {{3800, 2340}, "用途"}, {{8900, 1040}, "付款行名称："}, {{8900, 1340}, "出票人账号："},
            {{400, 2790}, "出票日期"}, {{400, 3090}, "收款人"}, {{400, 3390}, "金额"}, {{400, 3690}, "用途"}};
        for (const auto &[at, text] : labels)
            p.drawText(at, QString::fromUtf8(text));
        f.setPixelSize(300);
        p.setFont(f);
        p.drawText(QPointF(7600, 680), QStringLiteral("某 某 银 行 支 票"));
        p.drawText(QPointF(900, 680), QStringLiteral("支票存根"));
    }
    scan.setDotsPerMeterX(qRound(kDpi / 0.0254));
    scan.setDotsPerMeterY(qRound(kDpi / 0.0254));
    const QString file = dir.filePath(QStringLiteral("空白支票.png"));
    scan.save(file);
    return file;
}

void fillCheque(ChequeWindow *w)
{
    type(edit(w, "Text21"), QStringLiteral("10203040"));
    w->findChild<QDateEdit *>(QStringLiteral("DTPicker1"))->setDate(QDate(2010, 4, 14));
    click(w, "Command1");
    type(edit(w, "Text8"), QStringLiteral("1234.56"));
    type(edit(w, "Text19"), QStringLiteral("货款"));
}

} // namespace

class TestFormPreview : public WindowTest {
    Q_OBJECT


    FormPreviewWindow *openPreview(QWidget *voucher)
    {
        click(voucher, "cmdPreview");
        auto *preview = voucher->findChild<FormPreviewWindow *>();
        if (preview)
            preview->refresh(true);
        return preview;
    }

    // The payee's ink in the preview against its ink on paper (the PDF the same voucher prints,
    // drawn by poppler at the scan's resolution), both around where pdftotext finds the payee.
    void comparePayee(FormPreviewWindow *preview, const PrintRoutine &printed, const QString &where)
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("支票.pdf"));
        QVERIFY(savePdf(printed, pdf));
        const pdftools::Word *word = nullptr;
        const QList<pdftools::Word> words = pdftools::words(pdf);
        QVERIFY(word = pdftools::find(words, kCustomer));
        const double k = kDpi / 72.0; // pdftotext gives points
        const QRect area = QRectF(word->box.topLeft() * k, word->box.bottomRight() * k).toRect().adjusted(-8, -8, 8, 8);
        const QRect onPaper = inkIn(pdftools::render(pdf, kDpi), area);
        const QRect inPreview = inkIn(preview->picture(), area);
        QVERIFY2(!onPaper.isEmpty() && !inPreview.isEmpty(), qPrintable(where));
        const QString detail = QStringLiteral("%1: preview (%2, %3) %4 wide, paper (%5, %6) %7 wide")
                                   .arg(where).arg(inPreview.left()).arg(inPreview.top()).arg(inPreview.width())
                                   .arg(onPaper.left()).arg(onPaper.top()).arg(onPaper.width());
        QVERIFY2(qAbs(inPreview.left() - onPaper.left()) <= 1, qPrintable(detail));
        QVERIFY2(qAbs(inPreview.top() - onPaper.top()) <= 1, qPrintable(detail));
        QVERIFY2(qAbs(inPreview.right() - onPaper.right()) <= 1, qPrintable(detail));
    }

private slots:

    void fieldsStandWhereTheyPrintOnA300DpiScan()
    {
        if (!pdftools::available())
            QSKIP("poppler tools not installed");
        QTemporaryDir dir;
        QString error;
        const FormScan scan = importFormScan(QStringLiteral("zpdy"), blankScan(dir, 16000, 5000), &error);
        QVERIFY2(!scan.isEmpty(), qPrintable(error));
        QCOMPARE(qRound(scan.dpi), kDpi); // read from the file

        Harness<ChequeWindow> h;
        ChequeWindow *w = h.open();
        fillCheque(w);
        FormPreviewWindow *preview = openPreview(w);
        QVERIFY(preview);
        QCOMPARE(preview->picture().size(), scan.image.size());
        comparePayee(preview, w->previewRoutine(), QStringLiteral("as stored"));

        // The field under the mouse is named.
        const QRect payeeArea = inkIn(preview->picture(), QRect(900, 230, 900, 90));
        QCOMPARE(preview->describeAt(payeeArea.center()), QStringLiteral("收款人：") + kCustomer);

        // A calibration typed and not yet saved moves the field at once: 2 mm right, 1 mm down.
        w->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        click(w, "Command10");
        edit(w, "Text47")->setText(QStringLiteral("2"));
        edit(w, "Text48")->setText(QStringLiteral("1"));
        preview->refresh();
        const QRect moved = inkIn(preview->picture(), QRect(900, 230, 1000, 120));
        QVERIFY2(qAbs(moved.left() - payeeArea.left() - 114 * kDpi / 1440.0) <= 1,
                 qPrintable(QString::number(moved.left() - payeeArea.left())));
        click(w, "Command8"); // saved: the printed cheque has the same calibration
        comparePayee(preview, w->previewRoutine(), QStringLiteral("moved"));
        saveScreenshot(preview, QStringLiteral("tdyl-zpdy"));
        preview->close();
    }

    void withoutAScanThePageIsWhiteWithItsOutline()
    {
        removeFormScan(QStringLiteral("jzddy"));
        Harness<DepositWindow> h;
        DepositWindow *w = h.open();
        type(edit(w, "Text8"), QStringLiteral("100"));
        FormPreviewWindow *preview = openPreview(w);
        QVERIFY(preview);
        QVERIFY(preview->scan().isEmpty());
        // 15000 x 9000 twips at 150 dpi.
        QCOMPARE(preview->picture().width(), qRound(15000 * 150 / 1440.0) + 1);
        QCOMPARE(preview->picture().height(), qRound(9000 * 150 / 1440.0) + 1);
        QCOMPARE(preview->picture().pixelColor(preview->picture().width() / 2, 5), QColor(Qt::white));
        bool words = false;
        for (const PainterPageWriter::Drawn &d : preview->drawn())
            words = words || d.text == QStringLiteral("壹佰元整");
        QVERIFY(words);
        saveScreenshot(preview, QStringLiteral("tdyl-jzddy"));
        preview->close();
    }

    // Two points clicked on a scan without a resolution place it: the form's corner and a point
    // 100 mm right and 50 mm down.
    void twoPointsPlaceAScan()
    {
        FormScan scan;
        scan.image = QImage(1400, 800, QImage::Format_RGB32);
        scan.placed = true;
        scan.imageA = QPointF(10, 20);
        scan.imageB = QPointF(1190, 610);
        scan.formA = QPointF(0, 0);
        scan.formB = QPointF(100 * 1440 / 25.4, 50 * 1440 / 25.4);
        const QTransform t = scan.formToImage();
        QCOMPARE(t.map(QPointF(0, 0)), QPointF(10, 20));
        const QPointF mid = t.map(QPointF(50 * 1440 / 25.4, 25 * 1440 / 25.4));
        QVERIFY(qAbs(mid.x() - 600) < 1e-6 && qAbs(mid.y() - 315) < 1e-6);
        // Without points, the resolution decides: 300 dpi puts 1440 twips at 300 pixels.
        scan.placed = false;
        scan.dpi = 300;
        QCOMPARE(scan.formToImage().map(QPointF(1440, 2880)), QPointF(300, 600));
    }
};

QTEST_MAIN(TestFormPreview)
#include "tst_formpreview.moc"
