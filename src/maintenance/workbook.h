#pragma once
// Reads the customer rows of an Excel 97-2003 workbook (khb.xls), without any window.

#include <QString>
#include <QStringList>
#include <QVector>

namespace maintenance {

// The columns an import takes, by position: name, account, bank, province, city.
constexpr int kSheetColumns = 5;

struct SheetRow {
    int sheetRow = 0;   // 1-based row number as the spreadsheet shows it (the heading is row 1)
    QStringList cells;  // always kSheetColumns texts; an empty cell is an empty text
};

struct CustomerSheet {
    QVector<SheetRow> rows; // data rows in sheet order, the heading row left out
    QString error;          // for the user, in Chinese; empty when the sheet was read
    bool ok() const { return error.isEmpty(); }
};

// Opens the workbook at path and reads the sheet named "sheet1" (any case, any position), taking
// the first five columns of every row after the heading. Rows whose five cells are all empty are
// left out. Numbers read as the user sees them in the cell (6222021234567890, 12.5), dates as
// yyyy-MM-dd. A file that is missing, not a workbook, protected by a password or damaged, a
// missing sheet and a sheet without data rows give an error and no rows.
//
// The workbook is parsed in a child process: FreeXL has memory faults on crafted files (a
// directory entry whose name length exceeds its 64 bytes makes it over-read the stack), so a
// damaged file must cost a child process, never the program and the user's open windows.
CustomerSheet readCustomerSheet(const QString &path);

// The same reading in this process; what the child runs, and what the fuzzer drives.
CustomerSheet readCustomerSheetInProcess(const QString &path);

// The text of a number cell: integers in plain digits however long, fractions with at most 15
// significant digits, never an exponent.
QString numberCellText(double value);

} // namespace maintenance
