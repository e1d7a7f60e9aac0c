#pragma once
// How a cell's stored value becomes the text the readers give, the same for every kind of file.

#include <QString>

namespace sheets {

// The text of a number cell: integers in plain digits however long, fractions with at most 15
// significant digits (as the spreadsheet shows them), never an exponent.
QString numberCellText(double value);

// Whether a number format shows dates or times: the built-in ones by number, the others by the
// letters their code uses outside quotes and brackets.
bool isBuiltInDateFormat(int format);
bool isDateFormatCode(const QString &code);

// A serial day number (days since 1899-12-30, or since 1904-01-01) as yyyy-MM-dd, with the time
// when it has one; a number outside the calendar as the number it is. Serials below 61 follow the
// spreadsheet's calendar, which holds a 29 February 1900.
QString serialDateText(double serial, bool from1904);

// An error value's code (as .xls stores it) as the spreadsheet shows it.
QString errorText(quint8 code);

// Messages about single cells, shared by the readers.
QString unusableFormulaMessage(const QString &sheet, int row, int column, const QString &value);
QString unusableValueMessage(const QString &sheet, int row, int column, const QString &value);
QString cellTooLongMessage(const QString &name, int row, int column);
QString tooManyCellsMessage(const QString &name);

// The budget of cells (empty ones included) that one reading keeps: far above any list a clerk
// works with, and small enough that a hostile file cannot take the memory.
constexpr qint64 kMaxCells = 5000000;
constexpr qint64 kMaxCharacters = 100000000; // of the texts kept, which a file's own limits do not bound

} // namespace sheets
