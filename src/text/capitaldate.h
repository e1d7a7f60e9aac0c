#pragma once
// Issue dates in capital numerals, written so that no digit can be added in front of a short
// month or day (零壹 for January, 零壹拾 for the 10th).

#include <QDate>
#include <QString>

#include <optional>

namespace text {

// Messages (UTF-8) a window shows when a month or day has no capital form.
inline constexpr char kWrongMonthMessage[] = "请输入正确的月份";
inline constexpr char kWrongDayMessage[] = "请输入正确的日";
inline constexpr char kDateMessageTitle[] = "凭证打印";

// The year digit by digit, never with place names: 2010 -> 贰零壹零, 2009 -> 贰零零玖.
QString capitalYear(int year);

// Months 1 to 12 from the fixed table (零壹, 零贰, 叁 ... 零壹拾, 壹拾壹, 壹拾贰); nothing outside it.
std::optional<QString> capitalMonth(int month);

// Days 1 to 31 from the fixed table (零壹 ... 零壹拾, 壹拾壹 ... 零贰拾, ... 零叁拾, 叁拾壹);
// nothing outside it.
std::optional<QString> capitalDay(int day);

struct CapitalDate {
    QString year;
    QString month;
    QString day;
};

// All three parts of a valid date; an invalid date gives three empty texts.
CapitalDate capitalDate(const QDate &date);

} // namespace text
