// The construction-bank wire voucher and the agricultural-bank application on paper: their print
// tables, the global printer adjustment and the tick marks, without a window.

#include "vouchers/bankforms.h"
#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

using namespace vouchers;

namespace {

void fill(BankFormFace &f)
{
    f.year = "2010";
    f.month = "4";
    f.day = "14";
    f.payerName = "北京示例商贸有限公司";
    f.payerAccount = "0200001009014412345";
    f.payerBank = "中国工商银行北京朝阳支行";
    f.amountWords = "壹万元整";
    f.payeeName = "上海华东建材有限公司";
    f.payeeAccount = "31001234567890123456";
    f.payeeBank = "中国建设银行上海浦东支行";
    f.cells = {"0", "0", "0", "0", "0", "0", "1", "￥", "", "", ""}; // 10000.00
    f.paymentCode = "8888-6666";
    f.purpose = "货款";
}

WireFace wire()
{
    WireFace f;
    fill(f);
    f.normalMark = "√";
    f.urgentMark = " ";
    return f;
}

ApplicationFace application()
{
    ApplicationFace f;
    fill(f);
    f.typeMarks = {"√", " ", " ", " ", " "};
    f.normalMark = "√";
    f.urgentMark = " ";
    return f;
}

// The cells from 亿 to 分 for 10000.00, as the tables below place them.
const QStringList kCellsFromLeft = {"", "", "", "￥", "1", "0", "0", "0", "0", "0", "0"};

QList<PlacedText> moved(QList<PlacedText> rows, double dx, double dy)
{
    QList<PlacedText> out;
    for (PlacedText &t : rows) {
        if (t.text.isEmpty())
            continue; // an empty field prints nothing
        t.x += dx;
        t.y += dy;
        out.append(t);
    }
    return out;
}

QList<PlacedText> wireTable(const WireFace &f)
{
    QList<PlacedText> t = {
        {730, 933, 9, f.normalMark},     {2416, 933, 9, f.urgentMark},   {4473, 875, 9, f.year},
        {5405, 875, 9, f.month},         {6047, 875, 9, f.day},          {1924, 1283, 9, f.payerName},
        {1924, 1749, 9, f.payerAccount}, {1924, 2215, 9, f.payerBank},   {1924, 2624, 9, f.amountWords},
        {6880, 1283, 9, f.payeeName},    {6880, 1749, 9, f.payeeAccount}, {6880, 2215, 9, f.payeeBank},
    };
    const double cellX[] = {7346, 7637, 7929, 8220, 8512, 8803, 9095, 9386, 9678, 9969, 10261};
    for (int k = 0; k < 11; ++k)
        t.append({cellX[k], 2915, 9, kCellsFromLeft[k]});
    t.append({6646, 3381, 9, f.paymentCode});
    t.append({6705, 4081, 9, f.purpose});
    return t;
}

QList<PlacedText> applicationTable(const ApplicationFace &f)
{
    QList<PlacedText> t = {
        {2136, 640, 9, f.year},          {2982, 640, 9, f.month},         {3828, 640, 9, f.day},
        {2136, 992, 9, f.typeMarks[0]},  {2778, 992, 9, f.typeMarks[1]},  {4586, 992, 9, f.typeMarks[2]},
        {6336, 992, 9, f.typeMarks[3]},  {2116, 1283, 9, f.typeMarks[4]}, {8670, 1050, 9, f.normalMark},
        {9603, 1050, 9, f.urgentMark},   {2595, 1458, 9, f.payerName},    {2595, 1808, 9, f.payerAccount},
        {2595, 2158, 9, f.payerBank},    {2815, 2625, 9, f.amountWords},  {7320, 1458, 9, f.payeeName},
        {7320, 1808, 9, f.payeeAccount}, {7320, 2158, 9, f.payeeBank},    {6933, 3206, 9, f.paymentCode},
        {6933, 3678, 9, f.purpose},
    };
    for (int k = 0; k < 11; ++k)
        t.append({7850 + 220.0 * k, 2800, 9, kCellsFromLeft[k]});
    return t;
}

template <typename Face>
RecordingPageWriter print(void (*routine)(PageWriter &, const Face &, const GlobalOffsets &), const Face &face,
                          const char *horizontal, const char *vertical)
{
    RecordingPageWriter rec;
    routine(rec, face, {QString::fromLatin1(horizontal), QString::fromLatin1(vertical)});
    return rec;
}

struct Adjustment {
    const char *horizontal, *vertical;
    double dx, dy;
};

// The stored texts of dytj and what they move: right/down as stored, up/down to whole twips.
const Adjustment kAdjustments[] = {
    {"0", "0", 0, 0},     {"57", "-57", 57, -57}, {"28.5", "28.5", 28.5, 28},
    {"-28.5", "85.5", -28.5, 86}, {"", "abc", 0, 0},
};

} // namespace

TEST(BankForms, WireVoucherStandsAtBasePlusTheGlobalAdjustment)
{
    for (const Adjustment &a : kAdjustments) {
        SCOPED_TRACE(std::string(a.horizontal) + " / " + a.vertical);
        const RecordingPageWriter rec = print(printWire, wire(), a.horizontal, a.vertical);
        EXPECT_EQ(rec.placedTexts(), moved(wireTable(wire()), a.dx, a.dy)) << rec.dump().toStdString();
        EXPECT_EQ(rec.ops().value(0), PrintOp::pageHeight(9000));
        EXPECT_EQ(rec.ops().value(1), PrintOp::pageWidth(15000));
        EXPECT_EQ(rec.ops().last(), PrintOp::endDocument());
    }
}

TEST(BankForms, ApplicationStandsAtBasePlusTheGlobalAdjustment)
{
    for (const Adjustment &a : kAdjustments) {
        SCOPED_TRACE(std::string(a.horizontal) + " / " + a.vertical);
        const RecordingPageWriter rec = print(printApplication, application(), a.horizontal, a.vertical);
        EXPECT_EQ(rec.placedTexts(), moved(applicationTable(application()), a.dx, a.dy)) << rec.dump().toStdString();
        EXPECT_EQ(rec.ops().value(0), PrintOp::pageHeight(9000));
        EXPECT_EQ(rec.ops().value(1), PrintOp::pageWidth(15000));
    }
}

// Every business type prints its own marks at the five type positions: 电汇 its tick in its own
// field, the others a tick with a blank beside it and nothing at 电汇.
TEST(BankForms, BusinessTypeMarks)
{
    struct Row {
        const char *type;
        QStringList marks; // at x 2136, 2778, 4586, 6336 (y 992) and 2116 (y 1283)
    };
    const Row rows[] = {
        {"电汇", {"√", " ", " ", " ", " "}},  {"信汇", {"", "√ ", " ", " ", " "}},
        {"汇票", {"", " ", " √", " ", " "}},  {"本票", {"", " ", " ", "√ ", " "}},
        {"其它", {"", " ", " ", " ", "√ "}},
    };
    const QStringList types = applicationTypes();
    const QList<QStringList> table = applicationTypeMarks();
    ASSERT_EQ(types.size(), 5);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.type);
        const qsizetype i = types.indexOf(QString::fromUtf8(r.type));
        ASSERT_GE(i, 0);
        ApplicationFace f = application();
        f.typeMarks = table[i];
        const QList<PlacedText> printed = print(printApplication, f, "0", "0").placedTexts();
        const QList<std::pair<double, double>> places = {{2136, 992}, {2778, 992}, {4586, 992}, {6336, 992}, {2116, 1283}};
        for (int p = 0; p < 5; ++p) {
            const auto it = std::find_if(printed.begin(), printed.end(), [&](const PlacedText &t) {
                return t.x == places[p].first && t.y == places[p].second;
            });
            if (r.marks[p].isEmpty())
                EXPECT_EQ(it, printed.end()) << p; // nothing at all
            else
                EXPECT_TRUE(it != printed.end() && it->text == r.marks[p]) << p;
        }
    }
}
