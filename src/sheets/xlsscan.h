#pragma once
// A second, independent reading of an .xls workbook's records: what the cell reader does not
// say. It tells whether the sheet's records are whole (a damaged file can lose its later rows
// without any error from the reader), which cells exist, and the results of formula cells, which
// the reader leaves empty.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace sheets {

struct ScannedCell {
    enum class Kind {
        Value,         // a text, number or date cell: the reader gives its text
        FormulaResult, // a formula whose saved result is text
        FormulaUnusable, // a formula whose saved result is a logical or error value
        Logical,       // TRUE/FALSE or an error value typed as such
    };
    Kind kind = Kind::Value;
    QString text;     // FormulaResult: the result as the cell shows it; otherwise what it holds, for messages
};

struct SheetScan {
    QString damage;         // for the user, when the records are not whole; empty otherwise
    int firstLostRow = 0;   // with damage: the first sheet row (1-based) that may be missing
    bool found = false;     // a worksheet was found (or the workbook is encrypted: the reader says so)
    QString sheetName;      // the worksheet chosen
    int sheetIndex = -1;    // its place among the workbook's sheets, as the cell reader counts them
    int declaredRows = 0;   // rows the sheet's dimensions record declares (last used row + 1)
    int lastCellRow = -1;   // 0-based row of the last cell record of any kind
    // Cells of the first columns (0-based row * 256 + column) that hold something, the heading
    // row included.
    QHash<int, ScannedCell> cells;
    bool ok() const { return damage.isEmpty(); }
    static int key(int row, int column) { return row * 256 + column; }
};

// Scans the compound file bytes for the worksheet named preferredSheet (any case) or, when there
// is none of that name, the first worksheet, looking at the first `columns` columns. Never reads
// outside the bytes given, whatever they hold.
SheetScan scanSheet(const QByteArray &file, const QString &preferredSheet, int columns);

// Whether a compound file holds a password-protected .xlsx (which is not a workbook stream).
bool isEncryptedPackage(const QByteArray &file);

} // namespace sheets
