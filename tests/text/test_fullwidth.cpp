// What a clerk types with a Chinese input method on: full-width digits, points and signs count as
// their ASCII forms wherever an amount or a calibration is read.

#include "text/amount.h"
#include "text/numbers.h"

#include <gtest/gtest.h>

using text::AmountProblem;
using text::AmountVariant;

namespace {

struct Typed {
    const char *text;
    std::optional<qint64> fen;  // parseFen
    const char *words;          // capital words, eleven places
    AmountProblem problem;      // checkPrintable, ten places
    const char *currency;       // currencyText
};

} // namespace

TEST(FullWidth, AmountsReadAsTheirAsciiForms)
{
    const Typed rows[] = {
        {"１２３４．５６", 123456, "壹仟贰佰叁拾肆元伍角陆分", AmountProblem::None, "￥1,234.56"},
        {"１２３４。５", 123450, "壹仟贰佰叁拾肆元伍角整", AmountProblem::None, "￥1,234.50"},
        {"　１００　", 10000, "壹佰元整", AmountProblem::None, "￥100.00"},
        {"1２.3４", 1234, "壹拾贰元叁角肆分", AmountProblem::None, "￥12.34"},
        {"－５", -500, "", AmountProblem::Negative, ""},
        {"１．２３４", std::nullopt, "", AmountProblem::TooManyDecimals, ""},
        {"１，０００", std::nullopt, "壹元整", AmountProblem::NotANumber, "￥1.00"},
    };
    for (const Typed &r : rows) {
        const QString typed = QString::fromUtf8(r.text);
        SCOPED_TRACE(r.text);
        EXPECT_EQ(text::parseFen(typed), r.fen);
        EXPECT_EQ(text::convertAmount(typed, AmountVariant::ElevenPlaces, 11).words, QString::fromUtf8(r.words));
        EXPECT_EQ(text::checkPrintable(typed, AmountVariant::TenPlaces), r.problem);
        EXPECT_EQ(text::currencyText(typed), QString::fromUtf8(r.currency));
    }
}

TEST(FullWidth, DigitCellsGetAsciiDigits)
{
    const auto d = text::convertAmount(QStringLiteral("１２．３"), AmountVariant::TenPlaces, 10);
    const QStringList expected = {"0", "3", "2", "1", "￥", "", "", "", "", ""};
    EXPECT_EQ(d.cells, expected);
    EXPECT_EQ(d.fen, QStringLiteral("1230"));
}

TEST(FullWidth, CalibrationBoxesAndLetters)
{
    EXPECT_EQ(text::leadingNumber(QStringLiteral("－１．５")), -1.5);
    EXPECT_EQ(text::leadingNumber(QStringLiteral("２ｍｍ")), 2.0);
    EXPECT_EQ(text::leadingNumber(QStringLiteral("＋３")), 3.0);
    EXPECT_EQ(text::halfWidth(QStringLiteral("ＺＧｇｓ　ｙｈ")), QStringLiteral("ZGgs yh"));
    // Chinese text and the yuan sign are not ASCII in disguise.
    EXPECT_EQ(text::halfWidth(QStringLiteral("蓝石￥１")), QStringLiteral("蓝石￥1"));
}
