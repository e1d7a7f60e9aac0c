#pragma once
// A scan of a blank paper form, kept per voucher beside the settings files, placed at true scale
// under the fields the voucher prints.

#include <QImage>
#include <QPointF>
#include <QString>
#include <QTransform>

namespace vouchers {

struct FormScan {
    QImage image;     // empty: no scan
    double dpi = 0;   // dots per inch of the image
    // Two points clicked on the image (pixels) and where they are on the form (twips); the first
    // is usually the form's top-left corner. When set they decide the scale, not the dpi.
    bool placed = false;
    QPointF imageA, imageB;
    QPointF formA, formB;

    bool isEmpty() const { return image.isNull(); }
    // Twips of the form to pixels of the image.
    QTransform formToImage() const;
};

// The scan kept for a voucher window ("zpdy"), or an empty one.
FormScan loadFormScan(const QString &window);
// Keeps a picture (PNG, JPEG or the first page of a PDF) as the window's scan and returns it, its
// dpi read from the file where the file holds one (a PDF is drawn at 200 dpi), else 0. On failure
// the scan is empty and *error says why.
FormScan importFormScan(const QString &window, const QString &file, QString *error);
// A picture (PNG, JPEG or the first page of a PDF) as a scan, not kept anywhere; on failure empty
// with *error saying why.
FormScan readFormScan(const QString &file, QString *error);
// Keeps a scan as the window's, image and placement; false with *error when it cannot be written.
bool keepFormScan(const QString &window, const FormScan &scan, QString *error = nullptr);
bool hasFormScan(const QString &window);
// Keeps the dpi and the reference points; false when the settings file cannot be written.
bool saveFormScanPlacement(const QString &window, const FormScan &scan);
// Forgets the window's scan.
void removeFormScan(const QString &window);

} // namespace vouchers
