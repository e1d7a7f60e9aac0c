// The deposit slip's print routine against its print table, without a window.

#include "vouchers/deposit.h"
#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

using namespace vouchers;

namespace {

// 1234.56 leaves the four highest cells empty and puts ￥ in the 万 cell.
DepositFace filledSlip()
{
    DepositFace f;
    f.year = QStringLiteral("2010");
    f.month = QStringLiteral("4");
    f.day = QStringLiteral("14");
    f.remitterName = QStringLiteral("上海华东建材有限公司");
    f.remitterAccount = QStringLiteral("31001234567890123456");
    f.remitterBank = QStringLiteral("中国建设银行上海浦东支行");
    f.amountWords = QStringLiteral("壹仟贰佰叁拾肆元伍角陆分");
    f.payeeName = QStringLiteral("北京蓝石软件有限公司");
    f.payeeAccount = QStringLiteral("0200001009014412345");
    f.payeeBank = QStringLiteral("中国工商银行北京朝阳支行");
    f.cells = {"6", "5", "4", "3", "2", "1", "￥", "", "", "", ""};
    f.billKind = QStringLiteral("支票");
    f.billNumber = QStringLiteral("10203040");
    f.billCount = QStringLiteral("1");
    f.purpose = QStringLiteral("货款");
    return f;
}

// A distinct value for every key, so that a key wired to the wrong row moves it to a wrong place.
const Offsets kKeys = {
    {"text1", 3},    {"text31", 5},   {"text27", 11},  {"text32", 13},  {"text36", 17},  {"text37", 19},
    {"text38", 23},  {"text39", 29},  {"text40", 31},  {"text41", 37},  {"text59", 41},  {"text60", 43},
    {"text62", 47},  {"text64", 53},  {"text69", 59},  {"text80", 61},  {"text70", 67},  {"text73", 71},
    {"text74", 73},  {"text75", 79},  {"text76", 83},  {"text77", 89},  {"text78", 97},  {"text79", 101},
};

double key(const char *k) { return kKeys.value(QString::fromLatin1(k)); }

RecordingPageWriter print(const DepositFace &f, const Offsets &offsets)
{
    RecordingPageWriter rec;
    printDeposit(rec, f, offsets);
    return rec;
}

} // namespace

// Every row: base position from the slip's table plus the overall offsets and the row's own keys.
TEST(Deposit, EveryRowStandsAtBasePlusItsKeys)
{
    const DepositFace f = filledSlip();
    const double x0 = key("text1"), y0 = key("text31");
    auto at = [&](double baseX, const char *xKey, double baseY, const char *yKey, const QString &text) {
        return PlacedText{baseX + x0 + key(xKey), baseY + y0 + key(yKey), 9, text};
    };
    QList<PlacedText> expected = {
        at(4166, "text27", 525, "text32", f.year),
        at(5241, "text36", 525, "text32", f.month),
        at(5925, "text37", 525, "text32", f.day),
        at(1675, "text38", 816, "text39", f.remitterName),
        at(1675, "text38", 1166, "text40", f.remitterAccount),
        at(1675, "text38", 1516, "text41", f.remitterBank),
        at(1575, "text60", 2316, "text62", f.amountWords),
        at(6066, "text59", 816, "text39", f.payeeName),
        at(6066, "text59", 1166, "text40", f.payeeAccount),
        at(6066, "text59", 1516, "text41", f.payeeBank),
    };
    // Cells from 亿 (k = 0) to 分 (k = 10); the four empty ones print nothing.
    const QStringList fromLeft = {"", "", "", "", "￥", "1", "2", "3", "4", "5", "6"};
    for (int k = 0; k < 11; ++k)
        if (!fromLeft[k].isEmpty())
            expected.append({6508 + 292.0 * k + x0 + key("text64") + k * key("text80"), 2450 + y0 + key("text69"), 9,
                             fromLeft[k]});
    expected.append(at(1575, "text70", 2850, "text73", f.billKind));
    expected.append(at(2575, "text74", 2850, "text75", f.billNumber));
    expected.append(at(1575, "text76", 3250, "text77", f.billCount));
    expected.append(at(2575, "text78", 3250, "text79", f.purpose));

    const RecordingPageWriter rec = print(f, kKeys);
    EXPECT_EQ(rec.placedTexts(), expected) << rec.dump().toStdString();
    // Height first, then width, before anything is printed; one end.
    ASSERT_GE(rec.ops().size(), 2);
    EXPECT_EQ(rec.ops()[0], PrintOp::pageHeight(9000));
    EXPECT_EQ(rec.ops()[1], PrintOp::pageWidth(15000));
    EXPECT_EQ(rec.ops().last(), PrintOp::endDocument());
    EXPECT_EQ(rec.endDocumentCount(), 1);
}

TEST(Deposit, GapKeyMovesCellKByKGaps)
{
    DepositFace f = filledSlip();
    f.cells = {"0", "9", "8", "7", "6", "5", "4", "3", "2", "1", "9"}; // 91234567890 fen: every cell
    const QList<PlacedText> plain = print(f, {}).placedTexts();
    const QList<PlacedText> gapped = print(f, {{"text80", 57}}).placedTexts();
    ASSERT_EQ(plain.size(), 25);
    ASSERT_EQ(gapped.size(), 25);
    for (int k = 0; k < 11; ++k) {
        const PlacedText &p = plain[10 + k], &g = gapped[10 + k];
        EXPECT_EQ(p.x, 6508 + 292.0 * k) << k;
        EXPECT_EQ(g.x - p.x, 57.0 * k) << k; // 亿 stays put
        EXPECT_EQ(g.y, p.y);
    }
    EXPECT_EQ(gapped[0], plain[0]); // nothing else moves
}

TEST(Deposit, OverallUpDownRoundsToEvenWholeTwipsLeftRightDoesNot)
{
    const QList<PlacedText> t = print(filledSlip(), {{"text1", 28.5}, {"text31", 28.5}}).placedTexts();
    ASSERT_FALSE(t.isEmpty());
    EXPECT_EQ(t[0].x, 4166 + 28.5);
    EXPECT_EQ(t[0].y, 525 + 28);
    const QList<PlacedText> u = print(filledSlip(), {{"text31", 85.5}, {"text32", 0.5}}).placedTexts();
    EXPECT_EQ(u[0].y, 525 + 86 + 0.5); // the row's own key stays as it is
}
