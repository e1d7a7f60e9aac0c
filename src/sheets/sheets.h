#pragma once
// One reading of the spreadsheets the clerk brings (.xlsx, .xls, .csv) and the templates written
// for them; no window, no database.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace sheets {

struct Row {
    int sheetRow = 0;  // 1-based, as the spreadsheet shows it
    QStringList cells; // by column from the first; trailing empty cells are left out
};

struct Sheet {
    QStringList header;   // row 1 (trailing empty cells left out)
    QVector<Row> rows;    // the rows after it, in order; rows whose cells are all empty left out
    QString error;        // for the user, in Chinese; empty when the file was read
    QString sheetName;    // the worksheet read (empty for .csv)
    bool ok() const { return error.isEmpty(); }
};

struct ReadOptions {
    // Only the first `columns` columns are read (0: every column); cells further right are not
    // looked at, so an error value there does not refuse the sheet.
    int columns = 0;
    // A workbook's worksheet of this name (any case) when it has one, otherwise its first
    // worksheet.
    QString preferredSheet;
    // An .xlsx part written plainly (as spreadsheet programs write them) goes through a quick
    // reader of that plain XML, any other through Qt's full XML reader. false: every part
    // through the full reader, which the quick one must agree with.
    bool quickXml = true;
};

// What a file holds, told by its first bytes where they say it (zip, compound file), otherwise
// by its name.
enum class Kind { Xlsx, Xls, Csv, Unknown };
Kind kindOf(const QString &path);

// Reads the first worksheet of an .xlsx, .xls or .csv file: row 1 is the header, the rows after
// it are data. Numbers read as plain digits (no ".0", no exponent: account numbers stay whole),
// dates as yyyy-MM-dd, formula cells as their saved result. A file that cannot be read wholly
// (damaged, hostile, protected, not a table) gives a message in Chinese in `error` and no rows.
Sheet readSheet(const QString &path);
Sheet readSheet(const QString &path, const ReadOptions &options);

// The same readings on bytes already in memory; `name` only appears in messages.
Sheet readXlsx(const QByteArray &bytes, const QString &name, const ReadOptions &options = {});
Sheet readCsv(const QByteArray &bytes, const QString &name, const ReadOptions &options = {});

// Writes an .xlsx with one header row and the example rows, every value a text cell; the first
// columns are formatted as text so that long account numbers typed later stay whole. The file
// appears complete or not at all.
bool writeTemplate(const QString &path, const QStringList &header, const QList<QStringList> &examples,
                   QString *error);

// The filter of a file dialog that opens any of the three kinds.
QString openFilter();

// Excel's limits, which the readers keep to as well.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxCellCharacters = 32767;

} // namespace sheets
