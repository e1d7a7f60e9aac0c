#include "sheets/cells.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sheets {

QString numberCellText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral("0"); // also -0
    char buffer[400];
    // Whole numbers keep every digit the double holds: an account number saved as a number
    // reads as the digits the spreadsheet stored. Beyond seventeen digits the double's further
    // digits are noise, and the number reads with fifteen significant digits as it is shown.
    if (value == std::floor(value) && std::fabs(value) < 1e17) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return QString::fromLatin1(buffer);
    }
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    if (!std::strchr(buffer, 'e'))
        return QString::fromLatin1(buffer);
    // Fifteen significant digits placed around the decimal point, without an exponent.
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const char *e = std::strchr(buffer, 'e');
    const int exponent = std::atoi(e + 1);
    QString digits;
    for (const char *p = buffer; p < e; ++p)
        if (*p != '.')
            digits += QLatin1Char(*p);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString out;
    if (exponent < 0) {
        out = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else {
        const int whole = exponent + 1;
        if (digits.size() <= whole)
            out = digits + QString(whole - digits.size(), QLatin1Char('0'));
        else
            out = digits.left(whole) + QLatin1Char('.') + digits.mid(whole);
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

bool isBuiltInDateFormat(int format)
{
    // 14-22 dates and times, 27-36 and 50-58 the East Asian date formats, 45-47 times.
    return (format >= 14 && format <= 22) || (format >= 27 && format <= 36) || (format >= 45 && format <= 47)
        || (format >= 50 && format <= 58);
}

bool isDateFormatCode(const QString &code)
{
    bool quoted = false, bracket = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*'))
            ++i; // the next character is shown, padded or repeated, not interpreted
        else if (c == QLatin1Char('['))
            bracket = true;
        else if (c == QLatin1Char(']'))
            bracket = false;
        else if (!bracket && QStringLiteral("yYmMdDhHsS").contains(c))
            return true;
    }
    return false;
}

QString serialDateText(double serial, bool from1904)
{
    // The calendar runs to 9999-12-31; anything else is shown as the number it is.
    if (!std::isfinite(serial) || serial < 0 || serial >= (from1904 ? 2957004 : 2958466))
        return numberCellText(serial);
    qint64 day = qint64(std::floor(serial));
    int seconds = int(std::lround((serial - double(day)) * 86400.0));
    if (seconds >= 86400) {
        ++day;
        seconds = 0;
    }
    const QString time = QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
    if (!from1904 && day < 1)
        return time; // a time of day alone
    QString date;
    if (from1904)
        date = QDate(1904, 1, 1).addDays(day).toString(QStringLiteral("yyyy-MM-dd"));
    else if (day == 60)
        date = QStringLiteral("1900-02-29"); // the day the spreadsheet's calendar adds
    else
        date = (day < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30)).addDays(day).toString(QStringLiteral("yyyy-MM-dd"));
    return seconds == 0 ? date : date + QLatin1Char(' ') + time;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("错误值");
    }
}

QString unusableFormulaMessage(const QString &sheet, int row, int column, const QString &value)
{
    return QStringLiteral("工作表 %1 第 %2 行第 %3 列是公式，它的结果是 %4，不是文字或数字，无法导入。"
                          "请把这个单元格改为要导入的内容后再导入。")
        .arg(sheet)
        .arg(row)
        .arg(column)
        .arg(value);
}

QString unusableValueMessage(const QString &sheet, int row, int column, const QString &value)
{
    return QStringLiteral("工作表 %1 第 %2 行第 %3 列是逻辑值或错误值 %4，不是文字或数字，无法导入。"
                          "请把这个单元格改为要导入的内容后再导入。")
        .arg(sheet)
        .arg(row)
        .arg(column)
        .arg(value);
}

QString cellTooLongMessage(const QString &name, int row, int column)
{
    return QStringLiteral("%1 第 %2 行第 %3 列的内容超过 %4 个字符，不是正常的表格内容，无法读取。")
        .arg(name)
        .arg(row)
        .arg(column)
        .arg(32767);
}

QString tooManyCellsMessage(const QString &name)
{
    return QStringLiteral("%1 太大（超过 %2 万个单元格），无法读取。请只保留需要的行和列后再试。")
        .arg(name)
        .arg(kMaxCells / 10000);
}

} // namespace sheets
