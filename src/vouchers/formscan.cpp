#include "vouchers/formscan.h"

#include "store/appdir.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPdfDocument>
#include <QSettings>

namespace vouchers {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kPdfDpi = 200;

QString imageFile(const QString &window) { return store::calibrationFile(window + QStringLiteral("-scan.png")); }
QString settingsFile(const QString &window) { return store::calibrationFile(window + QStringLiteral("-scan.ini")); }

// The resolution a picture states, or 0: a JPEG or PNG without one reads as Qt's default 96 dpi
// (3780 dots per metre), which is no statement.
double statedDpi(const QImage &image)
{
    const int dpm = image.dotsPerMeterX();
    if (dpm <= 0 || dpm == 3780 || dpm == 3779)
        return 0;
    return dpm * 0.0254;
}

} // namespace

QTransform FormScan::formToImage() const
{
    if (placed) {
        const double dx = formB.x() - formA.x(), dy = formB.y() - formA.y();
        double sx = dx != 0 ? (imageB.x() - imageA.x()) / dx : 0;
        double sy = dy != 0 ? (imageB.y() - imageA.y()) / dy : 0;
        // A second point on the same line as the first gives one scale for both directions.
        if (sx == 0)
            sx = sy;
        if (sy == 0)
            sy = sx;
        if (sx > 0 && sy > 0)
            return QTransform(sx, 0, 0, sy, imageA.x() - formA.x() * sx, imageA.y() - formA.y() * sy);
    }
    const double k = (dpi > 0 ? dpi : 150) / kTwipsPerInch;
    return QTransform::fromScale(k, k);
}

FormScan loadFormScan(const QString &window)
{
    FormScan scan;
    QImageReader reader(imageFile(window));
    if (!QFileInfo::exists(reader.fileName()) || !reader.read(&scan.image))
        return {};
    QSettings s(settingsFile(window), QSettings::IniFormat);
    scan.dpi = s.value(QStringLiteral("scan/dpi"), 0).toDouble();
    scan.placed = s.value(QStringLiteral("scan/placed"), false).toBool();
    scan.imageA = s.value(QStringLiteral("scan/imageA")).toPointF();
    scan.imageB = s.value(QStringLiteral("scan/imageB")).toPointF();
    scan.formA = s.value(QStringLiteral("scan/formA")).toPointF();
    scan.formB = s.value(QStringLiteral("scan/formB")).toPointF();
    return scan;
}

FormScan readFormScan(const QString &file, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return FormScan{};
    };
    FormScan scan;
    if (file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfDocument pdf;
        if (pdf.load(file) != QPdfDocument::Error::None || pdf.pageCount() < 1)
            return fail(QStringLiteral("无法读取PDF文件“%1”").arg(file));
        const QSizeF points = pdf.pagePointSize(0);
        scan.image = pdf.render(0, (points * kPdfDpi / 72).toSize());
        scan.dpi = kPdfDpi;
    } else {
        QImageReader reader(file);
        reader.setAutoTransform(true); // a phone picture stands the way it was taken
        if (!reader.read(&scan.image))
            return fail(QStringLiteral("无法读取图片“%1”：%2").arg(file, reader.errorString()));
        scan.dpi = statedDpi(scan.image);
    }
    if (scan.image.isNull())
        return fail(QStringLiteral("“%1”中没有可用的图像").arg(file));
    scan.image = scan.image.convertToFormat(QImage::Format_RGB32);
    return scan;
}

bool keepFormScan(const QString &window, const FormScan &scan, QString *error)
{
    if (!scan.image.save(imageFile(window), "PNG")) {
        if (error)
            *error = QStringLiteral("无法保存扫描图“%1”").arg(imageFile(window));
        return false;
    }
    if (!saveFormScanPlacement(window, scan)) {
        if (error)
            *error = QStringLiteral("无法写入文件“%1”").arg(settingsFile(window));
        return false;
    }
    return true;
}

bool hasFormScan(const QString &window) { return QFileInfo::exists(imageFile(window)); }

FormScan importFormScan(const QString &window, const QString &file, QString *error)
{
    const FormScan scan = readFormScan(file, error);
    if (scan.isEmpty() || !keepFormScan(window, scan, error))
        return {};
    return scan;
}

bool saveFormScanPlacement(const QString &window, const FormScan &scan)
{
    QSettings s(settingsFile(window), QSettings::IniFormat);
    s.setValue(QStringLiteral("scan/dpi"), scan.dpi);
    s.setValue(QStringLiteral("scan/placed"), scan.placed);
    s.setValue(QStringLiteral("scan/imageA"), scan.imageA);
    s.setValue(QStringLiteral("scan/imageB"), scan.imageB);
    s.setValue(QStringLiteral("scan/formA"), scan.formA);
    s.setValue(QStringLiteral("scan/formB"), scan.formB);
    s.sync();
    return s.status() == QSettings::NoError;
}

void removeFormScan(const QString &window)
{
    QFile::remove(imageFile(window));
    QFile::remove(settingsFile(window));
}

} // namespace vouchers
