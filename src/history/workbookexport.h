#pragma once
// Writes the rows of a data source to an .xlsx workbook: one sheet, captions in row 1.

#include "store/gridmodel.h"

#include <QString>
#include <QVector>

#include <functional>

namespace store { class DataSource; }

namespace history {

// Rows a sheet holds below its caption row.
constexpr int kSheetDataRows = 1048575;

struct ExportOptions {
    // At most this many rows are written (the sheet's limit unless a test wants less).
    int maxRows = kSheetDataRows;
    // Called after every progressStep rows with the rows written so far and the rows to write;
    // returning false abandons the export and leaves no file.
    std::function<bool(int written, int total)> progress;
    int progressStep = 1000;
};

// A cell holds at most this many characters.
constexpr int kCellCharacters = 32767;

struct ExportResult {
    enum class Status { Written, NoRows, Cancelled, Failed };
    Status status = Status::Failed;
    QString path;          // the file written (the chosen name with .xlsx added where missing)
    int rowsWritten = 0;
    int rowsAvailable = 0; // rows of the data source's result
    QString error;         // for the user, when Failed
    // Sheet rows (the caption row is 1) with a value cut at kCellCharacters, and with characters
    // the file format cannot hold (control characters such as NUL) left out.
    QVector<int> cutRows;
    QVector<int> cleanedRows;

    bool ok() const { return status == Status::Written; }
    bool truncated() const { return ok() && rowsWritten < rowsAvailable; }
};

// The file name a chosen name stands for: ".xlsx" is added unless the name already ends so
// (in any letter case).
QString workbookFileName(const QString &chosen);

// The text a cell gets for value: characters XML cannot hold left out (*cleaned), at most
// kCellCharacters characters (*cut), and literal "_xHHHH_" sequences escaped as the file format
// requires, so that they read back as written instead of as the character they would encode.
QString cellText(const QString &value, bool *cut, bool *cleaned);

// Writes every row of the data source's current result, in its order, one sheet column per
// grid column (caption in row 1). Dates become date cells, everything else text cells, so a
// value such as "=1+1" or "007" stays exactly as stored (see cellText for what a cell cannot
// hold). The workbook is built under a
// temporary name beside the target and renamed over it only when complete, so the chosen name
// never holds a half-written file; an existing file of that name is replaced. A data source with
// no rows writes nothing (NoRows). Memory stays flat however many rows are written.
ExportResult exportWorkbook(const store::DataSource &rows, const QVector<store::GridColumn> &columns,
                            const QString &chosenPath, const ExportOptions &options = {});

} // namespace history
