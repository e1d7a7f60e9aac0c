#include "text/capitaldate.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output: gtest finds this for QString through its (global) namespace.
static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kDigits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");

// The capitals of 1 to 39 in the plain reading: 壹, 壹拾, 壹拾壹, 贰拾 ...
QString plainReading(int n)
{
    QString out;
    if (n >= 10)
        out += QString(kDigits[n / 10]) + QStringLiteral("拾");
    if (n % 10 != 0)
        out += kDigits[n % 10];
    return out;
}

TEST(CapitalDate, YearIsWrittenDigitByDigit)
{
    EXPECT_EQ(text::capitalYear(2010), QStringLiteral("贰零壹零"));
    EXPECT_EQ(text::capitalYear(2009), QStringLiteral("贰零零玖"));
    EXPECT_EQ(text::capitalYear(2000), QStringLiteral("贰零零零"));
    EXPECT_EQ(text::capitalYear(1987), QStringLiteral("壹玖捌柒"));
}

TEST(CapitalDate, MonthsOneTwoAndTenCarryALeadingZero)
{
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(m);
        const bool zero = m == 1 || m == 2 || m == 10;
        const auto month = text::capitalMonth(m);
        ASSERT_TRUE(month.has_value());
        EXPECT_EQ(*month, (zero ? QStringLiteral("零") : QString()) + plainReading(m));
    }
    EXPECT_EQ(text::capitalMonth(3), QStringLiteral("叁"));
    EXPECT_EQ(text::capitalMonth(2), QStringLiteral("零贰"));
    EXPECT_EQ(text::capitalMonth(10), QStringLiteral("零壹拾"));
}

TEST(CapitalDate, DaysUpToTenAndTheTwentiethAndThirtiethCarryALeadingZero)
{
    for (int d = 1; d <= 31; ++d) {
        SCOPED_TRACE(d);
        const bool zero = d <= 10 || d == 20 || d == 30;
        const auto day = text::capitalDay(d);
        ASSERT_TRUE(day.has_value());
        EXPECT_EQ(*day, (zero ? QStringLiteral("零") : QString()) + plainReading(d));
    }
    EXPECT_EQ(text::capitalDay(20), QStringLiteral("零贰拾"));
    EXPECT_EQ(text::capitalDay(30), QStringLiteral("零叁拾"));
    EXPECT_EQ(text::capitalDay(31), QStringLiteral("叁拾壹"));
    EXPECT_EQ(text::capitalDay(11), QStringLiteral("壹拾壹"));
}

TEST(CapitalDate, OutOfRangeMonthsAndDaysHaveNoCapitals)
{
    for (int m : {0, -1, 13, 100})
        EXPECT_FALSE(text::capitalMonth(m).has_value()) << m;
    for (int d : {0, -1, 32, 100})
        EXPECT_FALSE(text::capitalDay(d).has_value()) << d;
}

TEST(CapitalDate, WholeDates)
{
    const text::CapitalDate newYear = text::capitalDate(QDate(2010, 1, 1));
    EXPECT_EQ(newYear.year, QStringLiteral("贰零壹零"));
    EXPECT_EQ(newYear.month, QStringLiteral("零壹"));
    EXPECT_EQ(newYear.day, QStringLiteral("零壹"));

    const text::CapitalDate october = text::capitalDate(QDate(2010, 10, 10));
    EXPECT_EQ(october.month, QStringLiteral("零壹拾"));
    EXPECT_EQ(october.day, QStringLiteral("零壹拾"));

    const text::CapitalDate april = text::capitalDate(QDate(2010, 4, 14));
    EXPECT_EQ(april.month, QStringLiteral("肆"));
    EXPECT_EQ(april.day, QStringLiteral("壹拾肆"));

    const text::CapitalDate invalid = text::capitalDate(QDate());
    EXPECT_TRUE(invalid.year.isEmpty() && invalid.month.isEmpty() && invalid.day.isEmpty());
}

} // namespace
