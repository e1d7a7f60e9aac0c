#pragma once
// Reads the worksheet of an Excel 97-2003 workbook (.xls).

#include "sheets/sheets.h"

namespace sheets {

// The workbook is parsed in a child process: FreeXL has memory faults on crafted files (a
// directory entry whose name length exceeds its 64 bytes makes it over-read the stack), so a
// damaged file must cost a child process, never the program and the user's open windows.
// Every row the sheet declares is read, or the sheet is refused naming the first row lost;
// formula cells read as the result saved with them.
Sheet readXls(const QString &path, const ReadOptions &options = {});

// The same reading in this process; what the child runs, and what the fuzzer drives.
Sheet readXlsInProcess(const QString &path, const ReadOptions &options = {});

} // namespace sheets
