#include "text/amount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

// Readable failure output: gtest finds this for QString through its (global) namespace.
static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using text::AmountProblem;
using text::AmountVariant;

// Cells as the vouchers lay them out, highest place first, "." for an empty cell.
QStringList cellsHighestFirst(const QString &row)
{
    QStringList cells = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString &c : cells) {
        if (c == QLatin1String("."))
            c.clear();
    }
    std::reverse(cells.begin(), cells.end()); // cells[0] is 分
    return cells;
}

struct WorkedAmount {
    const char *name;
    AmountVariant variant;
    const char *amount;
    const char *fen;
    const char *words;
    const char *cells; // highest place first
};

std::ostream &operator<<(std::ostream &os, const WorkedAmount &row) { return os << row.name; }

class WorkedAmounts : public testing::TestWithParam<WorkedAmount>
{
};

TEST_P(WorkedAmounts, GiveFenWordsAndCells)
{
    const WorkedAmount &row = GetParam();
    const int cellCount = text::amountPlaces(row.variant);
    const text::AmountDisplay d = text::convertAmount(QString::fromUtf8(row.amount), row.variant,
                                                      cellCount);
    EXPECT_EQ(d.fen, QString::fromUtf8(row.fen));
    EXPECT_EQ(d.words, QString::fromUtf8(row.words));
    ASSERT_TRUE(d.cellsChanged);
    EXPECT_EQ(d.cells, cellsHighestFirst(QString::fromUtf8(row.cells)));
}

constexpr auto Ten = AmountVariant::TenPlaces;
constexpr auto Eleven = AmountVariant::ElevenPlaces;

const WorkedAmount kWorked[] = {
    // The cheque's ten places, 千万 down to 分.
    {"Empty", Ten, "", "0", "整", ". . . . . . . . ￥ 0"},
    {"FiveFen", Ten, "0.05", "5", "伍分", ". . . . . . . . ￥ 5"},
    {"FiveJiao", Ten, "0.5", "50", "伍角整", ". . . . . . . ￥ 5 0"},
    {"OneYuan", Ten, "1", "100", "壹元整", ". . . . . . ￥ 1 0 0"},
    {"TenYuanFiveFen", Ten, "10.05", "1005", "壹拾元零伍分", ". . . . . ￥ 1 0 0 5"},
    // Exactly one zero skipped: it reads 零 all the same.
    {"OneYuanFiveFen", Ten, "1.05", "105", "壹元零伍分", ". . . . . . ￥ 1 0 5"},
    {"HundredOne", Ten, "101", "10100", "壹佰零壹元整", ". . . . ￥ 1 0 1 0 0"},
    {"TenYuanFiveJiao", Ten, "10.5", "1050", "壹拾元零伍角整", ". . . . . ￥ 1 0 5 0"},
    {"Twenty", Ten, "20", "2000", "贰拾元整", ". . . . . ￥ 2 0 0 0"},
    {"ThousandFiveJiao", Ten, "1000.50", "100050", "壹仟元零伍角整", ". . . ￥ 1 0 0 0 5 0"},
    {"ThousandFive", Ten, "1005.30", "100530", "壹仟零伍元叁角整", ". . . ￥ 1 0 0 5 3 0"},
    {"AllPlaces", Ten, "1234.56", "123456", "壹仟贰佰叁拾肆元伍角陆分",
     ". . . ￥ 1 2 3 4 5 6"},
    {"ZeroAfterWan", Ten, "100500", "10050000", "壹拾万零伍佰元整",
     ". ￥ 1 0 0 5 0 0 0 0"},
    {"ZerosAcrossWan", Ten, "1000050", "100005000", "壹佰万零伍拾元整",
     "￥ 1 0 0 0 0 5 0 0 0"},
    {"TenFenDigitsNoSign", Ten, "10000005", "1000000500", "壹仟万零伍元整",
     "1 0 0 0 0 0 0 5 0 0"},
    {"LargestCheque", Ten, "99999999.99", "9999999999",
     "玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分", "9 9 9 9 9 9 9 9 9 9"},
    {"ChequeTenMillion", Ten, "10000000.00", "1000000000", "壹仟万元整",
     "1 0 0 0 0 0 0 0 0 0"},
    // Eleven places, 亿 down to 分.
    {"ElevenEmpty", Eleven, "", "0", "整", ". . . . . . . . . ￥ 0"},
    {"ElevenHundred", Eleven, "100", "10000", "壹佰元整", ". . . . . ￥ 1 0 0 0 0"},
    {"ElevenThousandFive", Eleven, "1005.5", "100550", "壹仟零伍元伍角整",
     ". . . . ￥ 1 0 0 5 5 0"},
    {"ElevenAllPlaces", Eleven, "1234.56", "123456", "壹仟贰佰叁拾肆元伍角陆分",
     ". . . . ￥ 1 2 3 4 5 6"},
    {"SignInYiCell", Eleven, "12345678.90", "1234567890",
     "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角整", "￥ 1 2 3 4 5 6 7 8 9 0"},
    // 万 is written only when its four-digit group holds a digit.
    {"OneYi", Eleven, "100000000", "10000000000", "壹亿元整", "1 0 0 0 0 0 0 0 0 0 0"},
    {"OneYiOneYuan", Eleven, "100000001", "10000000100", "壹亿零壹元整",
     "1 0 0 0 0 0 0 0 1 0 0"},
    {"TwoYiOneThousand", Eleven, "200001000", "20000100000", "贰亿零壹仟元整",
     "2 0 0 0 0 1 0 0 0 0 0"},
    {"OneYiOneWan", Eleven, "100010000", "10001000000", "壹亿零壹万元整",
     "1 0 0 0 1 0 0 0 0 0 0"},
    {"OneYiTenMillion", Eleven, "110000000", "11000000000", "壹亿壹仟万元整",
     "1 1 0 0 0 0 0 0 0 0 0"},
    {"OneYiFiveFen", Eleven, "100000000.05", "10000000005", "壹亿元零伍分",
     "1 0 0 0 0 0 0 0 0 0 5"},
    {"LargestEleven", Eleven, "999999999.99", "99999999999",
     "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分", "9 9 9 9 9 9 9 9 9 9 9"},
};

INSTANTIATE_TEST_SUITE_P(Amount, WorkedAmounts, testing::ValuesIn(kWorked),
                         [](const testing::TestParamInfo<WorkedAmount> &info) {
                             return std::string(info.param.name);
                         });

struct Reading {
    const char *amount;
    const char *fen;
    const char *words;
};

TEST(AmountConversion, ReadsTheNumberAtTheStartOfTheText)
{
    const Reading rows[] = {
        {"12abc", "1200", "壹拾贰元整"},
        {"1,000", "100", "壹元整"},
        {"1.2.3", "120", "壹元贰角整"},
        {"abc", "0", "整"},
        {"  5", "500", "伍元整"},
        {"\u3000" "5", "500", "伍元整"},
        {"+5", "500", "伍元整"},
        {"00012", "1200", "壹拾贰元整"},
        {".5", "50", "伍角整"},
        {"-0", "0", "整"},
        {"1.230", "123", "壹元贰角叁分"},
    };
    for (const Reading &r : rows) {
        SCOPED_TRACE(r.amount);
        const auto d = text::convertAmount(QString::fromUtf8(r.amount), Ten, 10);
        EXPECT_EQ(d.fen, QString::fromUtf8(r.fen));
        EXPECT_EQ(d.words, QString::fromUtf8(r.words));
    }
}

TEST(AmountConversion, ReadsDecimalsWithoutBinaryRounding)
{
    EXPECT_EQ(text::convertAmount(QStringLiteral("0.29"), Ten, 10).fen, QStringLiteral("29"));
    EXPECT_EQ(text::convertAmount(QStringLiteral("19.99"), Ten, 10).fen, QStringLiteral("1999"));
    EXPECT_EQ(text::convertAmount(QStringLiteral("0.29"), Ten, 10).words,
              QStringLiteral("贰角玖分"));
    EXPECT_EQ(text::convertAmount(QStringLiteral("1.15"), Ten, 10).fen, QStringLiteral("115"));
    EXPECT_EQ(text::parseFen(QStringLiteral("0.29")), 29);
    EXPECT_EQ(text::parseFen(QStringLiteral("19.99")), 1999);
    EXPECT_EQ(text::parseFen(QStringLiteral("4.35")), 435);
}

TEST(AmountConversion, AmountsBeyondTheCellsLeaveTheCellsAndWriteNoWords)
{
    for (const char *amount : {"100000000", "123456789.12", "99999999999999999999999999"}) {
        SCOPED_TRACE(amount);
        const auto d = text::convertAmount(QString::fromLatin1(amount), Ten, 10);
        EXPECT_FALSE(d.cellsChanged);
        EXPECT_TRUE(d.words.isEmpty()) << d.words.toStdString();
    }
    const auto yi = text::convertAmount(QStringLiteral("100000000"), Ten, 10);
    EXPECT_EQ(yi.fen, QStringLiteral("10000000000"));

    const auto eleven = text::convertAmount(QStringLiteral("1000000000"), Eleven, 11);
    EXPECT_FALSE(eleven.cellsChanged);
    EXPECT_TRUE(eleven.words.isEmpty());
}

TEST(AmountConversion, FewerCellsThanPlacesStillGetWords)
{
    // A voucher with fewer cells than places keeps its cells for long amounts but still reads them.
    const auto d = text::convertAmount(QStringLiteral("12345678.90"), Eleven, 9);
    EXPECT_FALSE(d.cellsChanged);
    EXPECT_EQ(d.words, QStringLiteral("壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角整"));
}

TEST(AmountConversion, NegativeAndSubFenAmountsShowNothing)
{
    struct Row {
        const char *amount;
        const char *fen;
    };
    const Row rows[] = {{"-5", "-500"}, {"-0.05", "-5"}, {"1.234", "123.4"},
                        {"0.001", "0.1"}, {"-1.2345", "-123.45"}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.amount);
        for (AmountVariant v : {Ten, Eleven}) {
            const int n = text::amountPlaces(v);
            const auto d = text::convertAmount(QString::fromLatin1(r.amount), v, n);
            EXPECT_EQ(d.fen, QString::fromLatin1(r.fen));
            EXPECT_TRUE(d.words.isEmpty());
            ASSERT_TRUE(d.cellsChanged);
            ASSERT_EQ(d.cells.size(), n);
            for (const QString &c : d.cells)
                EXPECT_TRUE(c.isEmpty()) << c.toStdString();
        }
    }
}

TEST(AmountConversion, ShorterAmountClearsTheCellsAboveIt)
{
    const auto before = text::convertAmount(QStringLiteral("12345678.90"), Eleven, 11);
    EXPECT_EQ(before.cells.at(10), QStringLiteral("￥"));
    const auto after = text::convertAmount(QStringLiteral("123.45"), Eleven, 11);
    EXPECT_TRUE(after.cells.at(10).isEmpty());
    EXPECT_EQ(after.cells.at(5), QStringLiteral("￥"));
}

TEST(CapitalWords, RefusesWhatIsNotAFenNumberOfTheVariant)
{
    EXPECT_EQ(text::capitalWords(QStringLiteral("10000000000"), Eleven), QStringLiteral("壹亿元整"));
    EXPECT_TRUE(text::capitalWords(QStringLiteral("10000000000"), Ten).isEmpty());
    EXPECT_TRUE(text::capitalWords(QStringLiteral("0100"), Ten).isEmpty());
    EXPECT_TRUE(text::capitalWords(QStringLiteral("-100"), Ten).isEmpty());
    EXPECT_TRUE(text::capitalWords(QString(), Ten).isEmpty());
}

TEST(ParseFen, AcceptsOnlyAWholePlainDecimalOfWholeFen)
{
    EXPECT_EQ(text::parseFen(QStringLiteral(" 1000.50 ")), 100050);
    EXPECT_EQ(text::parseFen(QStringLiteral("-5")), -500);
    EXPECT_EQ(text::parseFen(QStringLiteral("1.")), 100);
    EXPECT_EQ(text::parseFen(QStringLiteral(".05")), 5);
    EXPECT_EQ(text::parseFen(QStringLiteral("0")), 0);
    EXPECT_EQ(text::parseFen(QStringLiteral("9999999999999999.99")), 999999999999999999LL);
    for (const char *bad : {"", " ", ".", "-", "12abc", "1,000", "1.2.3", "1.234", "1 000",
                            "１２ａ", "99999999999999999.99"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(text::parseFen(QString::fromUtf8(bad)).has_value());
    }
}

struct Printability {
    const char *amount;
    AmountVariant variant;
    AmountProblem problem;
};

TEST(CheckPrintable, NamesWhyAnAmountCannotBePrinted)
{
    const Printability rows[] = {
        {"", Ten, AmountProblem::Empty},
        {"   ", Eleven, AmountProblem::Empty},
        {"12abc", Ten, AmountProblem::NotANumber},
        {"1,000", Ten, AmountProblem::NotANumber},
        {"abc", Eleven, AmountProblem::NotANumber},
        {".", Ten, AmountProblem::NotANumber},
        {"1.2.3", Ten, AmountProblem::NotANumber},
        {"1e5", Ten, AmountProblem::NotANumber},
        {"0", Ten, AmountProblem::Zero},
        {"0.00", Eleven, AmountProblem::Zero},
        {"-0", Ten, AmountProblem::Zero},
        {"-5", Ten, AmountProblem::Negative},
        {"-1.234", Ten, AmountProblem::Negative},
        {"1.234", Ten, AmountProblem::TooManyDecimals},
        {"0.001", Eleven, AmountProblem::TooManyDecimals},
        {"100000000", Ten, AmountProblem::TooLarge},
        {"1000000000", Eleven, AmountProblem::TooLarge},
        {"000100000000", Ten, AmountProblem::TooLarge},
        {"99999999.99", Ten, AmountProblem::None},
        {"100000000", Eleven, AmountProblem::None},
        {"999999999.99", Eleven, AmountProblem::None},
        {"0.01", Ten, AmountProblem::None},
        {" 12.5 ", Ten, AmountProblem::None},
        {"1.230", Ten, AmountProblem::None},
        {"00000099999999.99", Ten, AmountProblem::None},
    };
    for (const Printability &r : rows) {
        SCOPED_TRACE(r.amount);
        EXPECT_EQ(text::checkPrintable(QString::fromUtf8(r.amount), r.variant), r.problem);
    }
}

TEST(CheckPrintable, PrintableAmountsDisplayExactlyWhatIsPrinted)
{
    // What passes the check must show the same fen in the cells and a full reading in words.
    for (const char *amount : {" 5", "\u3000" "5\t", "+5", "1.", ".5", "0.29", "99999999.99",
                               "0012.30"}) {
        SCOPED_TRACE(amount);
        const QString text = QString::fromUtf8(amount);
        ASSERT_EQ(text::checkPrintable(text, Ten), AmountProblem::None);
        const auto d = text::convertAmount(text, Ten, 10);
        ASSERT_TRUE(d.cellsChanged);
        EXPECT_FALSE(d.words.isEmpty());
        EXPECT_EQ(d.fen.toLongLong(), *text::parseFen(text));
    }
}

TEST(CheckPrintable, EveryProblemHasItsOwnMessage)
{
    const AmountProblem problems[] = {AmountProblem::Empty, AmountProblem::NotANumber,
                                      AmountProblem::Zero, AmountProblem::Negative,
                                      AmountProblem::TooManyDecimals, AmountProblem::TooLarge};
    QStringList seen;
    for (AmountProblem p : problems) {
        const QString m = text::amountProblemMessage(p);
        EXPECT_FALSE(m.isEmpty());
        EXPECT_FALSE(seen.contains(m)) << m.toStdString();
        seen << m;
    }
    EXPECT_TRUE(text::amountProblemMessage(AmountProblem::None).isEmpty());
}

TEST(CurrencyText, WritesYuanSignGroupsAndTwoDecimals)
{
    struct Row {
        const char *amount;
        const char *currency;
    };
    const Row rows[] = {
        {"1000.50", "￥1,000.50"},
        {"1000.5", "￥1,000.50"},
        {"0.05", "￥0.05"},
        {"0", "￥0.00"},
        {"123", "￥123.00"},
        {"1234567", "￥1,234,567.00"},
        {"999999999.99", "￥999,999,999.99"},
        {"12abc", "￥12.00"},
        {"0.29", "￥0.29"},
        {"", ""},
        {"abc", ""},
        {"-5", ""},
        {"1.234", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.amount);
        EXPECT_EQ(text::currencyText(QString::fromUtf8(r.amount)), QString::fromUtf8(r.currency));
    }
}

} // namespace
