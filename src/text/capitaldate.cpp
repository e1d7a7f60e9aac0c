#include "text/capitaldate.h"

#include <array>

namespace text {

namespace {

// Fixed lists rather than a rule: a month keeps its 零 only for 1, 2 and 10, a day for 1 to 10,
// 20 and 30, and the cheque forms expect exactly these texts.
constexpr std::array<const char16_t *, 12> kMonths = {
    u"零壹", u"零贰", u"叁", u"肆", u"伍", u"陆", u"柒", u"捌", u"玖", u"零壹拾", u"壹拾壹", u"壹拾贰",
};

constexpr std::array<const char16_t *, 31> kDays = {
    u"零壹",   u"零贰",   u"零叁",   u"零肆",   u"零伍",   u"零陆",   u"零柒",   u"零捌",
    u"零玖",   u"零壹拾", u"壹拾壹", u"壹拾贰", u"壹拾叁", u"壹拾肆", u"壹拾伍", u"壹拾陆",
    u"壹拾柒", u"壹拾捌", u"壹拾玖", u"零贰拾", u"贰拾壹", u"贰拾贰", u"贰拾叁", u"贰拾肆",
    u"贰拾伍", u"贰拾陆", u"贰拾柒", u"贰拾捌", u"贰拾玖", u"零叁拾", u"叁拾壹",
};

constexpr char16_t kDigits[] = u"零壹贰叁肆伍陆柒捌玖";

} // namespace

QString capitalYear(int year)
{
    const QString digits = QString::number(year);
    QString out;
    out.reserve(digits.size());
    for (QChar c : digits)
        out += (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? QChar(kDigits[c.unicode() - u'0']) : c;
    return out;
}

std::optional<QString> capitalMonth(int month)
{
    if (month < 1 || month > int(kMonths.size()))
        return std::nullopt;
    return QString::fromUtf16(kMonths[size_t(month - 1)]);
}

std::optional<QString> capitalDay(int day)
{
    if (day < 1 || day > int(kDays.size()))
        return std::nullopt;
    return QString::fromUtf16(kDays[size_t(day - 1)]);
}

CapitalDate capitalDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    return {capitalYear(date.year()), *capitalMonth(date.month()), *capitalDay(date.day())};
}

} // namespace text
