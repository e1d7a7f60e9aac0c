// The general wire voucher on paper and the conversions of its layout, without a window.

#include "vouchers/general.h"
#include "vouchers/generallayout.h"
#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

using namespace vouchers;

namespace {

GeneralFace filledVoucher()
{
    GeneralFace f;
    f.year = "2010";
    f.month = "4";
    f.day = "14";
    f.payerName = "北京示例商贸有限公司";
    f.payerAccount = "0200001009014412345";
    f.payerProvince = "北京";
    f.payerCity = "朝阳区";
    f.payerBank = "中国工商银行北京朝阳支行";
    f.amountWords = "壹佰元整";
    f.payeeName = "上海华东建材有限公司";
    f.payeeAccount = "31001234567890123456";
    f.payeeProvince = "上海";
    f.payeeCity = "浦东新区";
    f.payeeBank = "中国建设银行上海浦东支行";
    f.password = "1234-5678";
    f.purpose = "货款";
    f.cells = {"0", "0", "0", "0", "1", "￥", "", "", "", "", ""}; // 100.00
    return f;
}

// The print table: base x, x column, base y, y column, in print order.
struct Line {
    double x;
    const char *xColumn;
    double y;
    const char *yColumn;
};
const Line kTable[] = {
    {4166, "rqnl", 525, "rqnu"},       {5241, "rqyl", 525, "rqyu"},        {5925, "rqrl", 525, "rqru"},
    {1675, "hkrqcl", 816, "hkrqcu"},   {1675, "hkrzhhl", 1166, "hkrzhhu"}, {1675, "hcshengl", 1516, "hcshengu"},
    {2725, "hcshil", 1516, "hcshiu"},  {1675, "hchmcl", 1866, "hchmcu"},   {1575, "jedxl", 2316, "jedxu"},
    {6066, "skrqcl", 816, "skrqcu"},   {6066, "skrzhhl", 1166, "skrzhhu"}, {6066, "hrshengl", 1516, "hrshengu"},
    {7200, "hrshil", 1516, "hrshiu"},  {6066, "hrhmcl", 1866, "hrhmcu"},   {6066, "zhmml", 3000, "zhmmu"},
    {6066, "ytl", 3266, "ytu"},
};

QStringList texts(const GeneralFace &f)
{
    return {f.year,      f.month,       f.day,         f.payerName,     f.payerAccount, f.payerProvince,
            f.payerCity, f.payerBank,   f.amountWords, f.payeeName,     f.payeeAccount, f.payeeProvince,
            f.payeeCity, f.payeeBank,   f.password,    f.purpose};
}

RecordingPageWriter print(const GeneralFace &f, const Offsets &layout)
{
    RecordingPageWriter rec;
    printGeneral(rec, f, layout);
    return rec;
}

} // namespace

// Column i of the layout set to i × 57: a line that reads another line's column, or swaps its
// left/right and up/down columns, lands somewhere else.
TEST(General, EveryLineReadsItsOwnColumns)
{
    Offsets layout;
    const QStringList columns = generalLayoutColumns();
    ASSERT_EQ(columns.size(), 38);
    for (int i = 0; i < columns.size(); ++i)
        layout.insert(columns[i], 57.0 * (i + 1));
    const double zhtl = layout["zhtl"], zhtu = layout["zhtu"];
    const GeneralFace f = filledVoucher();
    QList<PlacedText> expected;
    const QStringList t = texts(f);
    for (int i = 0; i < 16; ++i)
        expected.append({zhtl + kTable[i].x + layout[kTable[i].xColumn], layout[kTable[i].yColumn] + zhtu + kTable[i].y,
                         9, t[i]});
    const QStringList fromLeft = {"", "", "", "", "", "￥", "1", "0", "0", "0", "0"};
    for (int k = 0; k < 11; ++k)
        expected.append({zhtl + 6508 + 292.0 * k + layout["jexxl"] + k * layout["jexxjg"], layout["jexxu"] + zhtu + 2450,
                         9, fromLeft[k]});
    const RecordingPageWriter rec = print(f, layout);
    EXPECT_EQ(rec.placedTexts(), expected) << rec.dump().toStdString();
    EXPECT_EQ(rec.ops().value(0), PrintOp::pageHeight(9000));
    EXPECT_EQ(rec.ops().value(1), PrintOp::pageWidth(15000));
    EXPECT_EQ(rec.ops().last(), PrintOp::endDocument());
}

TEST(General, EmptyLinesArePrintedTooAndTheOverallShiftRounds)
{
    GeneralFace f = filledVoucher();
    f.password.clear();
    f.payeeProvince.clear();
    const QList<PlacedText> t = print(f, {{"zhtl", 57}, {"rqnl", -57}, {"zhtu", 28.5}}).placedTexts();
    ASSERT_EQ(t.size(), 27); // all 16 lines and 11 cells
    EXPECT_EQ(t[0].x, 4166);                  // zhtl 57 with rqnl -57
    EXPECT_EQ(t[0].y, 525 + 28);              // 28.5 rounds to the even 28
    EXPECT_EQ(t[14], (PlacedText{6066 + 57, 3000 + 28, 9, QString()}));
    EXPECT_EQ(t[11].text, QString());
}

TEST(GeneralLayout, MillimetresShownAndStored)
{
    const std::pair<const char *, const char *> shown[] = {
        {"114", "2"}, {"142.5", "2"}, {"-28.5", "-1"}, {"0", "0"}, {"-57", "-1"}, {"56.9", "0"}, {"", "0"}, {"abc", "0"},
    };
    for (const auto &[stored, mm] : shown)
        EXPECT_EQ(wholeMillimetreText(QString::fromLatin1(stored)), QString::fromLatin1(mm)) << stored;
}
