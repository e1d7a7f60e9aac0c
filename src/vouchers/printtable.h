#pragma once
// A voucher's print table: each field at a base position plus its calibrated offsets.

#include "vouchers/calibration.h"

#include <QList>
#include <QString>

namespace vouchers {

class PageWriter;

// One row of a print table. The offsets are looked up by key in the stored calibration
// (twips); an empty key adds nothing.
struct PrintField {
    double baseX = 0;
    QString xKey;
    double baseY = 0;
    QString yKey;
    double points = 9;
    QString text;
};

// Sets the page size (height first), then prints every field in order:
// current x = base x + x0 + its horizontal offset, current y = its vertical offset + y0 + base y,
// its font size, its text. An empty text prints nothing. Ends the document.
void printFields(PageWriter &w, int pageHeight, int pageWidth, double x0, double y0,
                 const QList<PrintField> &fields, const Offsets &offsets);

} // namespace vouchers
