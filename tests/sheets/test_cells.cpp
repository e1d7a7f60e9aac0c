// How stored numbers, dates and format codes become the texts every reader gives.

#include "sheets/cells.h"

#include "printing.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(Cells, NumbersInPlainDigits)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {6222021234567890.0, "6222021234567890"},
        {9007199254740993.0, "9007199254740992"}, // the double's own digits, never an exponent
        {1e20, "100000000000000000000"},
        {6222021234567890123.0, "6222021234567890000"}, // past the double's digits: as shown
        {-3.0, "-3"},
        {-0.0, "0"},
        {12.5, "12.5"},
        {0.1 + 0.2, "0.3"},
        {0.000001, "0.000001"},
        {1.5e-20, "0.000000000000000000015"},
        {-1.25e-7, "-0.000000125"},
        {1234567890123456.5, "1234567890123460"}, // fifteen significant digits, as shown
        {2.0 / 3.0, "0.666666666666667"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sheets::numberCellText(c.value), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(sheets::numberCellText(std::numeric_limits<double>::infinity()), QString());
}

TEST(Cells, SerialDaysAsDates)
{
    const struct {
        double serial;
        bool from1904;
        std::string text;
    } cases[] = {
        {45356, false, "2024-03-05"},
        {45356.5, false, "2024-03-05 12:00:00"},
        {45356.99999999, false, "2024-03-06"}, // rounds to the next midnight
        {61, false, "1900-03-01"},
        {60, false, "1900-02-29"}, // the spreadsheet's calendar has it
        {59, false, "1900-02-28"},
        {1, false, "1900-01-01"},
        {0.75, false, "18:00:00"},
        {2958465, false, "9999-12-31"},
        {2958466, false, "2958466"},
        {-1, false, "-1"},
        {1e300, true, "1" + std::string(300, '0')},
        {0, true, "1904-01-01"},
        {43894, true, "2024-03-05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sheets::serialDateText(c.serial, c.from1904).toStdString(), c.text) << c.serial;
}

TEST(Cells, FormatCodesThatShowDates)
{
    const struct {
        const char *code;
        bool date;
    } cases[] = {
        {"yyyy-mm-dd", true},
        {"yyyy\"年\"m\"月\"d\"日\"", true},
        {"[$-F800]dddd, mmmm dd, yyyy", true},
        {"h:mm:ss", true},
        {"[DBNum1][$-804]yyyy\"年\"m\"月\"", true},
        {"General", false},
        {"0.00", false},
        {"#,##0.00_);[Red](#,##0.00)", false},
        {"\"年\"0", false},             // the letter is only shown
        {"0\\d", false},               // an escaped letter
        {"_-* #,##0_-;\\-* #,##0_-;_-* \"-\"_-;_-@_-", false},
        {"[Red]0", false},
        {"@", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sheets::isDateFormatCode(QString::fromUtf8(c.code)), c.date) << c.code;
    for (int f : {14, 17, 22, 31, 45, 57})
        EXPECT_TRUE(sheets::isBuiltInDateFormat(f)) << f;
    for (int f : {0, 1, 4, 10, 49})
        EXPECT_FALSE(sheets::isBuiltInDateFormat(f)) << f;
}
