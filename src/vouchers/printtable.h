#pragma once
// A voucher's print table: each field at a base position plus its calibrated offsets.

#include "vouchers/vocabulary.h"
#include "vouchers/calibration.h"

#include <QList>
#include <QString>

namespace vouchers {


// One row of a print table. The offsets are looked up by key in the stored calibration
// (twips); an empty key adds nothing. A row of a run of digit cells adds step times the offset
// of stepKey to its x, so that cell k of a run with a spacing key stands k spacings further right.
struct PrintField {
    double baseX = 0;
    QString xKey;
    double baseY = 0;
    QString yKey;
    double points = 9;
    QString text;
    QString stepKey = {};
    int step = 0;
    // The place the form has for the text (twips to the next field on its line or to the form's
    // edge) and the field's name; 0: the text is never made smaller (digit cells, capital
    // amounts, dates).
    double space = 0;
    QString name = {};
};

// Gives a row of a table its place and name.
void setSpace(PrintField &field, const QString &name, double space);

// The width of a text in the Song face at a size, in twips; 0 when no fonts can be asked
// (no application object).
double textWidth(const QString &text, double points);

// The size a text is printed at to fit its place: its own, or smaller in half points down to 6;
// tooWide tells whether it fits even then.
double fittedSize(const QString &text, double points, double space, bool *tooWide = nullptr);
inline constexpr double kSmallestPoints = 6;

// Whether a row with an empty text is still sent to the printer (as an empty text).
enum class EmptyTexts { Skip, Print };

// Prints one row: current x = base x + x0 + its horizontal offset (+ step × the step key's offset),
// current y = its vertical offset + y0 + base y, its font size (smaller when the text is wider
// than its place; a text that does not fit even at 6 points is told to the writer), its text.
void printField(PageWriter &w, const PrintField &f, double x0, double y0, const Offsets &offsets,
                EmptyTexts empty = EmptyTexts::Skip);

// Sets the page size (height first), prints every field in order as printField() does, and ends
// the document.
void printFields(PageWriter &w, int pageHeight, int pageWidth, double x0, double y0,
                 const QList<PrintField> &fields, const Offsets &offsets, EmptyTexts empty = EmptyTexts::Skip);

// The overall offsets of a voucher from two keys: the horizontal one as stored, the vertical one
// rounded to whole twips with halves to the even neighbour (28.5 -> 28).
struct Overall {
    double x = 0;
    double y = 0;
};
Overall overallOffsets(const Offsets &offsets, const QString &xKey, const QString &yKey);

} // namespace vouchers
