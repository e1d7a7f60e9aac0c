// The payment notice drawn whole, twice per sheet: its operations against the drawing table,
// without a window.

#include "vouchers/notice.h"
#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

using namespace vouchers;

namespace {

NoticeFace filledNotice()
{
    NoticeFace f;
    f.year = QStringLiteral("2010");
    f.month = QStringLiteral("4");
    f.day = QStringLiteral("14");
    f.payerName = QStringLiteral("上海华东建材有限公司");
    f.payerAccount = QStringLiteral("31001234567890123456");
    f.payerBank = QStringLiteral("中国建设银行上海浦东支行");
    f.amountWords = QStringLiteral("壹拾贰元叁角整");
    f.payeeName = QStringLiteral("北京蓝石软件有限公司");
    f.payeeAccount = QStringLiteral("0200001009014412345");
    f.payeeBank = QStringLiteral("中国工商银行北京朝阳支行");
    f.cells = {"0", "3", "2", "1", "￥", "", "", "", "", "", ""}; // 12.30
    f.billKind = QStringLiteral("现金");
    f.address = QString(); // an empty text is printed all the same
    f.purpose = QStringLiteral("货款");
    f.remark = QString();
    return f;
}

// One copy's frame as drawn, at base positions.
const QList<QLineF> kFrame = {
    {1140, 1710, 10830, 1710}, {1539, 2166, 5985, 2166},   {6384, 2166, 10830, 2166}, {1539, 2622, 5985, 2622},
    {6384, 2622, 10830, 2622}, {1140, 3078, 10830, 3078},  {1140, 3819, 10830, 3819}, {1140, 1710, 1140, 5130},
    {1539, 1710, 1539, 3819},  {2337, 1710, 2337, 3078},   {5985, 1710, 5985, 3078},  {6384, 1710, 6384, 3078},
    {7182, 1710, 7182, 3078},  {10830, 1710, 10830, 5130}, {7695, 3078, 7695, 3819},  {7695, 3363, 10830, 3363},
    {7980, 3078, 7980, 3819},  {8265, 3078, 8265, 3819},   {8550, 3078, 8550, 3819},  {8835, 3078, 8835, 3819},
    {9120, 3078, 9120, 3819},  {9405, 3078, 9405, 3819},   {9690, 3078, 9690, 3819},  {9975, 3078, 9975, 3819},
    {10260, 3078, 10260, 3819}, {10545, 3078, 10545, 3819},
};

// One copy's texts as printed, at base positions.
QList<PlacedText> copyTexts(const NoticeFace &f)
{
    QList<PlacedText> t = {
        {4719, 1000, 15, "交  款  通  知  单"}, {4834, 1500, 9, "开票日期："},
        {6259, 1500, 9, "年"}, {6710, 1500, 9, "月"}, {7198, 1500, 9, "日"},
        {5803, 1500, 9, f.year}, {6482, 1500, 9, f.month}, {6970, 1500, 9, f.day},
        {1260, 1878, 9, "交"}, {1260, 2337, 9, "款"}, {1260, 2780, 9, "人"},
        {1596, 1899, 9, "全 称"}, {2387, 1899, 9, f.payerName},
        {1596, 2334, 9, "账 号"}, {2387, 2334, 9, f.payerAccount},
        {1596, 2784, 9, "汇出行"}, {2387, 2784, 9, f.payerBank},
        {1240, 3169, 9, "金"}, {1240, 3454, 9, "额"}, {1596, 3169, 9, "人民币"}, {1596, 3454, 9, "(大写)"},
        {2327, 3300, 9, f.amountWords},
        {6085, 1878, 9, "收"}, {6085, 2337, 9, "款"}, {6085, 2780, 9, "人"},
        {6484, 1899, 9, "全 称"}, {7282, 1899, 9, f.payeeName},
        {6484, 2334, 9, "账 号"}, {7282, 2334, 9, f.payeeAccount},
        {6484, 2784, 9, "汇入行"}, {7282, 2784, 9, f.payeeBank},
    };
    const QStringList heads = {"亿", "千", "百", "十", "万", "千", "百", "十", "元", "角", "分"};
    for (int k = 0; k < 11; ++k) {
        t.append({7752 + 285.0 * k, 3164, 9, heads[k]});
        t.append({7752 + 285.0 * k, 3454, 9, f.cells.value(10 - k)});
    }
    t.append({1710, 4033, 9, "票据种类："});
    t.append({2565, 4033, 9, f.billKind});
    t.append({3705, 4033, 9, "单位地址："});
    t.append({4550, 4033, 9, f.address});
    t.append({1710, 4503, 9, "用  途："});
    t.append({2565, 4503, 9, f.purpose});
    t.append({3705, 4503, 9, "备  注："});
    t.append({4550, 4503, 9, f.remark});
    return t;
}

QList<PlacedText> moved(const QList<PlacedText> &texts, double dx, double dy)
{
    QList<PlacedText> out;
    for (PlacedText t : texts) {
        t.x += dx;
        t.y += dy;
        out.append(t);
    }
    return out;
}

QList<PrintOp> lineOps(const QList<QLineF> &lines, double dx, double dy)
{
    QList<PrintOp> out;
    for (const QLineF &l : lines)
        out.append(PrintOp::line(l.x1() + dx, l.y1() + dy, l.x2() + dx, l.y2() + dy));
    return out;
}

QList<PrintOp> linesOf(const RecordingPageWriter &rec)
{
    QList<PrintOp> out;
    for (const PrintOp &op : rec.ops())
        if (op.kind == PrintOp::Kind::Line)
            out.append(op);
    return out;
}

RecordingPageWriter print(const NoticeFace &f, const Offsets &offsets)
{
    RecordingPageWriter rec;
    printNotice(rec, f, offsets);
    return rec;
}

} // namespace

TEST(Notice, WholeSheetWithoutKeys)
{
    const NoticeFace f = filledNotice();
    const RecordingPageWriter rec = print(f, {});
    // Two separators, then each copy's 26 lines; the second copy 6270 twips lower.
    QList<PrintOp> lines = lineOps({{1140, 456, 10830, 456}, {1140, 6270, 10830, 6270}}, 0, 0);
    lines += lineOps(kFrame, 0, 0);
    lines += lineOps(kFrame, 0, 6270);
    EXPECT_EQ(linesOf(rec), lines);
    EXPECT_EQ(lines.size(), 2 + 2 * 26);
    // No page size: the notice goes on the printer's own paper.
    for (const PrintOp &op : rec.ops()) {
        EXPECT_NE(op.kind, PrintOp::Kind::PageHeight);
        EXPECT_NE(op.kind, PrintOp::Kind::PageWidth);
    }
    EXPECT_EQ(rec.placedTexts(), copyTexts(f) + moved(copyTexts(f), 0, 6270)) << rec.dump().toStdString();
    EXPECT_EQ(rec.ops().last(), PrintOp::endDocument());
    EXPECT_EQ(rec.endDocumentCount(), 1);
}

TEST(Notice, EachCopyMovesByItsOwnKeys)
{
    const NoticeFace f = filledNotice();
    const RecordingPageWriter rec =
        print(f, {{"text1", 28.5}, {"text31", 114}, {"text27", 57}, {"text32", 28.5}, {"text38", 999}, {"text39", 999}});
    const RecordingPageWriter up = print(f, {{"text38", -57}, {"text39", -28.5}});
    EXPECT_EQ(linesOf(up).mid(0, 2), lineOps({{1140, 399, 10830, 399}, {1140, 6241.5, 10830, 6241.5}}, 0, 0));
    const QList<PlacedText> texts = rec.placedTexts();
    const qsizetype n = copyTexts(f).size();
    ASSERT_EQ(texts.size(), 2 * n);
    EXPECT_EQ(texts.mid(0, n), moved(copyTexts(f), 28.5, 114));
    // The second copy: 57 right, 6270 + 28 down (28.5 rounded to even); each separator moves
    // down by its own setting and moves nothing else.
    EXPECT_EQ(texts.mid(n), moved(copyTexts(f), 57, 6298));
    QList<PrintOp> lines = lineOps({{1140, 456 + 999, 10830, 456 + 999}, {1140, 6270 + 999, 10830, 6270 + 999}}, 0, 0);
    lines += lineOps(kFrame, 28.5, 114);
    lines += lineOps(kFrame, 57, 6298);
    EXPECT_EQ(linesOf(rec), lines);
}

TEST(Notice, SecondCopyUpDownRoundsHalvesToEven)
{
    for (const auto &[stored, top] : {std::pair{28.5, 6298.0}, {85.5, 6356.0}, {-28.5, 6242.0}, {0.0, 6270.0}}) {
        const QList<PrintOp> lines = linesOf(print(filledNotice(), {{"text32", stored}}));
        ASSERT_EQ(lines.size(), 54);
        EXPECT_EQ(lines[2].b, 1710) << stored;         // main copy's top border
        EXPECT_EQ(lines[28].b, top + 1710) << stored;  // second copy's top border
    }
}
