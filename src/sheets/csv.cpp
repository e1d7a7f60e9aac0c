// Reading a comma- (semicolon- or tab-) separated text: UTF-8 with or without its byte order mark, UTF-16
// with its mark (Excel's "Unicode text"), or GBK, the code page Chinese Windows saves in.

#include "sheets/cells.h"
#include "sheets/sheets.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace sheets {

namespace {

bool fromGbk(const QByteArray &in, QString *out)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1))
        return false;
    QByteArray utf8(in.size() * 2 + 16, Qt::Uninitialized); // a GBK pair is 3 bytes in UTF-8
    char *from = const_cast<char *>(in.constData());
    size_t fromLeft = size_t(in.size());
    char *to = utf8.data();
    size_t toLeft = size_t(utf8.size());
    const size_t converted = iconv(cd, &from, &fromLeft, &to, &toLeft);
    iconv_close(cd);
    if (converted == size_t(-1) || fromLeft != 0)
        return false;
    utf8.truncate(utf8.size() - int(toLeft));
    *out = QString::fromUtf8(utf8);
    return true;
}

// The text of the file, or false when its bytes are none of the encodings taken.
bool decode(const QByteArray &bytes, QString *text)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringConverter::Utf8);
        *text = utf8.decode(QByteArrayView(bytes).sliced(3));
        return !utf8.hasError();
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        if (bytes.size() % 2 != 0)
            return false;
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        *text = utf16.decode(QByteArrayView(bytes).sliced(2));
        return !utf16.hasError();
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    *text = utf8.decode(bytes);
    if (!utf8.hasError())
        return true;
    return fromGbk(bytes, text);
}

// The ="…" a bookkeeping export wraps a long number in, so that a spreadsheet keeps it as text
// (the spreadsheet reads it as a formula whose result is the text inside).
QString unwrapped(const QString &field)
{
    if (field.size() >= 3 && field.startsWith(QLatin1String("=\"")) && field.endsWith(QLatin1Char('"'))
        && !QStringView(field).mid(2, field.size() - 3).contains(QLatin1Char('"')))
        return field.mid(2, field.size() - 3);
    return field;
}

} // namespace

Sheet readCsv(const QByteArray &bytes, const QString &name, const ReadOptions &options)
{
    Sheet sheet;
    const auto fail = [&sheet](QString error) { // by value: it may be the sheet's own
        sheet = Sheet();
        sheet.error = error;
        return sheet;
    };
    QString text;
    if (!decode(bytes, &text))
        return fail(QStringLiteral("文件 %1 的文字编码无法识别（既不是 UTF-8，也不是 GBK），"
                                   "或者它不是文本表格。请在 Excel 或 WPS 表格中另存为“CSV UTF-8（逗号分隔）”后再试。")
                        .arg(name));
    if (text.endsWith(QChar(0x1A))) // the end-of-file mark of old DOS programs
        text.chop(1);

    // The separator is the one the header line uses most: commas, or the semicolons that spreadsheet
    // programs write where the comma is the decimal mark, or tabs ("text, tab separated"). A header
    // without any is one column.
    QChar delimiter = QLatin1Char(',');
    {
        bool quoted = false;
        int commas = 0, semicolons = 0, tabs = 0;
        for (const QChar c : std::as_const(text)) {
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
                break;
            else if (!quoted && c == QLatin1Char(','))
                ++commas;
            else if (!quoted && c == QLatin1Char(';'))
                ++semicolons;
            else if (!quoted && c == QLatin1Char('\t'))
                ++tabs;
        }
        if (semicolons > commas && semicolons >= tabs)
            delimiter = QLatin1Char(';');
        else if (tabs > commas && tabs > semicolons)
            delimiter = QLatin1Char('\t');
    }

    const QString where = QStringLiteral("文件 %1").arg(name);
    int record = 1;        // the row being read, as a spreadsheet would number it
    int quoteStart = 0;    // the row where the open quoted field began
    QStringList cells;
    QString field;
    bool quoted = false;   // inside a quoted field
    bool wasQuoted = false;
    qint64 kept = 0;

    const auto endField = [&]() -> bool {
        if (field.size() > kMaxCellCharacters) {
            sheet.error = cellTooLongMessage(where, record, int(cells.size()) + 1);
            return false;
        }
        if (cells.size() >= kMaxColumns) {
            sheet.error = QStringLiteral("%1 第 %2 行的列数超过 %3，不是正常的表格，无法读取。")
                              .arg(where)
                              .arg(record)
                              .arg(kMaxColumns);
            return false;
        }
        if (options.columns <= 0 || cells.size() < options.columns)
            cells.append(unwrapped(field));
        field.clear();
        wasQuoted = false;
        return true;
    };
    const auto endRecord = [&]() -> bool {
        if (!endField())
            return false;
        while (!cells.isEmpty() && cells.constLast().isEmpty())
            cells.removeLast();
        kept += cells.size();
        if (kept > kMaxCells) {
            sheet.error = tooManyCellsMessage(where);
            return false;
        }
        if (record == 1)
            sheet.header = cells;
        else if (!cells.isEmpty())
            sheet.rows.append(Row{record, cells});
        cells.clear();
        if (++record > kMaxRows + 1) {
            sheet.error = QStringLiteral("%1 的行数超过 %2，无法读取。").arg(where).arg(kMaxRows);
            return false;
        }
        return true;
    };

    const int size = int(text.size());
    for (int i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        // Tabs and line breaks are all a table's text has below the space.
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            return fail(QStringLiteral("%1 第 %2 行含有控制字符，不是文本表格，无法读取。").arg(where).arg(record));
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < size && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == QLatin1Char('\r')) {
                field += QLatin1Char('\n'); // a line break in a cell, as the workbooks keep it
                if (i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                    ++i;
            } else {
                field += c;
            }
            if (field.size() > kMaxCellCharacters)
                return fail(cellTooLongMessage(where, quoteStart, int(cells.size()) + 1));
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            quoteStart = record;
        } else if (c == delimiter) {
            if (!endField())
                return fail(sheet.error);
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (!endRecord())
                return fail(sheet.error);
        } else {
            field += c; // also a quote inside an unquoted field, or text after a closing quote
            if (field.size() > kMaxCellCharacters)
                return fail(cellTooLongMessage(where, record, int(cells.size()) + 1));
        }
    }
    if (quoted)
        return fail(QStringLiteral("%1 第 %2 行有一个引号没有配对，从这一行起的内容无法确定，无法读取。").arg(where).arg(quoteStart));
    // The last line, when no line break ends it.
    if ((!field.isEmpty() || wasQuoted || !cells.isEmpty()) && !endRecord())
        return fail(sheet.error);
    if (sheet.header.isEmpty() && sheet.rows.isEmpty())
        return fail(QStringLiteral("%1 中没有内容。").arg(where));
    return sheet;
}

} // namespace sheets
