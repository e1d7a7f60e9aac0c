#include "text/numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText)
{
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("2mm")), 2.0);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("  -1.5x")), -1.5);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("1,000")), 1.0);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("1.2.3")), 1.2);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("+.5")), 0.5);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QString()), 0.0);
    EXPECT_DOUBLE_EQ(text::leadingNumber(QStringLiteral("-")), 0.0);
}

TEST(FormatNumber, WritesFifteenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(text::formatNumber(114), QStringLiteral("114"));
    EXPECT_EQ(text::formatNumber(-57), QStringLiteral("-57"));
    EXPECT_EQ(text::formatNumber(28.5), QStringLiteral("28.5"));
    EXPECT_EQ(text::formatNumber(100.0 / 57.0), QStringLiteral("1.75438596491228"));
    EXPECT_EQ(text::formatNumber(0.5 * 57), QStringLiteral("28.5"));
    EXPECT_EQ(text::formatNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(text::formatNumber(1e15), QStringLiteral("1000000000000000"));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(text::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(text::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(text::roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(text::roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(text::roundHalfEven(142.4), 142.0);
}

TEST(Rounding, WholeMillimetresAreCutDown)
{
    EXPECT_EQ(text::wholeMillimetres(142.5), 2);
    EXPECT_EQ(text::wholeMillimetres(114), 2);
    EXPECT_EQ(text::wholeMillimetres(-57), -1);
    EXPECT_EQ(text::wholeMillimetres(-28.5), -1);
    EXPECT_EQ(text::wholeMillimetres(0), 0);
}

} // namespace
