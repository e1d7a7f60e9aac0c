#pragma once
// What every reading must give, whatever bytes it was handed: rows or a message, never both;
// rows in order, none empty, none with trailing empty cells; cells within the sheet's limits.

#include "sheets/sheets.h"

inline void checkSheet(const sheets::Sheet &sheet, int columns)
{
    if (!sheet.ok()) {
        if (!sheet.rows.isEmpty() || !sheet.header.isEmpty())
            __builtin_trap();
        return;
    }
    const auto checkCells = [columns](const QStringList &cells) {
        if (cells.size() > sheets::kMaxColumns || (columns > 0 && cells.size() > columns))
            __builtin_trap();
        if (!cells.isEmpty() && cells.constLast().isEmpty())
            __builtin_trap();
        for (const QString &c : cells)
            if (c.size() > sheets::kMaxCellCharacters)
                __builtin_trap();
    };
    checkCells(sheet.header);
    int previous = 1;
    for (const sheets::Row &row : sheet.rows) {
        if (row.sheetRow <= previous || row.sheetRow > sheets::kMaxRows + 1 || row.cells.isEmpty())
            __builtin_trap();
        previous = row.sheetRow;
        checkCells(row.cells);
    }
}
