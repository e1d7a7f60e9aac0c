#pragma once
// Number texts as the calibrations use them: typed millimetres in, stored twips out.

#include <QString>

namespace text {

// What a Chinese input method types in place of ASCII, read as ASCII: full-width forms
// (U+FF01..U+FF5E, "１２３４．５６", "－", "ＡＢ") become their ASCII characters, the ideographic
// space a blank and the ideographic full stop "。" a point. Everything else stays.
QString halfWidth(const QString &s);

// The decimal number at the start of a text: leading blanks skipped, an optional sign, digits
// and at most one point; the first character that cannot continue the number ends it.
// "2mm" -> 2, " -1.5x" -> -1.5, "abc" -> 0, "" -> 0, "1,000" -> 1. Full-width digits, signs and
// points count as their ASCII forms ("－１．５" -> -1.5).
double leadingNumber(const QString &s);

// A double written the way the stored settings hold it: at most 15 significant digits, no
// trailing zeros, a point only when needed (114, -57, 28.5, 1.75438596491228).
QString formatNumber(double v);

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
double roundHalfEven(double v);

// Millimetres per calibration unit: a shift of n mm is stored as n * 57 twips.
constexpr double kTwipsPerMm = 57.0;

// Stored twips shown as whole millimetres, cut down: floor(stored / 57).
int wholeMillimetres(double stored);

} // namespace text
