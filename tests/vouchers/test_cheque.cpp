// The cheque's print routine against its print table, without a window.

#include "vouchers/cheque.h"
#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

#include <set>

using namespace vouchers;

namespace {

// A cheque with every field filled: 12,345,678.90 fills all ten cells.
ChequeFace filledCheque()
{
    ChequeFace f;
    f.year = QStringLiteral("2010");
    f.month = QStringLiteral("4");
    f.day = QStringLiteral("14");
    f.counterfoilPayee = QStringLiteral("上海华东建材有限公司");
    f.counterfoilAmount = QStringLiteral("￥12,345,678.90");
    f.counterfoilPurpose = QStringLiteral("货款");
    f.capitalYear = QStringLiteral("贰零壹零");
    f.capitalMonth = QStringLiteral("肆");
    f.capitalDay = QStringLiteral("壹拾肆");
    f.payee = QStringLiteral("上海华东建材有限公司");
    f.bank = QStringLiteral("中国工商银行北京朝阳支行");
    f.account = QStringLiteral("0200001009014412345");
    f.amountWords = QStringLiteral("壹仟贰佰叁拾肆万伍仟陆佰柒拾捌元玖角整");
    f.purpose = QStringLiteral("货款");
    f.cells = {QStringLiteral("0"), QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("7"), QStringLiteral("6"),
               QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1")};
    f.counterfoil = true;
    return f;
}

// The print table, row by row, for the filled cheque with every offset zero.
QList<PlacedText> printTable()
{
    const ChequeFace f = filledCheque();
    QList<PlacedText> rows = {
        {1556, 2666, 9, f.year},          {2246, 2666, 9, f.month},         {2746, 2666, 9, f.day},
        {5596, 916, 9, f.capitalYear},    {6776, 916, 9, f.capitalMonth},   {7596, 916, 9, f.capitalDay},
        {1396, 2966, 6, f.counterfoilPayee}, {1396, 3266, 9, f.counterfoilAmount},
        {1396, 3566, 9, f.counterfoilPurpose}, {4636, 1216, 9, f.payee},    {9846, 916, 9, f.bank},
        {9846, 1216, 9, f.account},       {4896, 1616, 9, f.amountWords},   {4546, 2216, 9, f.purpose},
    };
    const char *digits = "1234567890"; // 千万 at the left down to 分
    for (int k = 0; k < 10; ++k)
        rows.append({10046.0 + 220 * k, 1816, 9, QString(QLatin1Char(digits[k]))});
    return rows;
}

RecordingPageWriter print(const ChequeFace &f, const Offsets &offsets = {})
{
    RecordingPageWriter rec;
    printCheque(rec, f, offsets);
    return rec;
}

} // namespace

TEST(ChequePrint, FilledChequeWithZeroOffsetsFollowsThePrintTable)
{
    const RecordingPageWriter rec = print(filledCheque());
    const QList<PlacedText> expected = printTable();
    ASSERT_EQ(rec.placedTexts().size(), 24) << rec.dump().toStdString();
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(rec.placedTexts()[i], expected[i]) << "row " << i + 1;
    // Page size before anything else, height first; one document.
    ASSERT_GE(rec.ops().size(), 2);
    EXPECT_EQ(rec.ops()[0], PrintOp::pageHeight(5000));
    EXPECT_EQ(rec.ops()[1], PrintOp::pageWidth(16000));
    EXPECT_EQ(rec.ops().last(), PrintOp::endDocument());
    EXPECT_EQ(rec.endDocumentCount(), 1);
    // Nothing but texts: the form's lines are on the paper already.
    for (const PrintOp &op : rec.ops())
        EXPECT_NE(op.kind, PrintOp::Kind::Line);
}

TEST(ChequePrint, OverallVerticalOffsetMovesEveryTextDown)
{
    const QList<PlacedText> moved = print(filledCheque(), {{QStringLiteral("text31"), 114}}).placedTexts();
    const QList<PlacedText> table = printTable();
    ASSERT_EQ(moved.size(), 24);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(moved[i].y, table[i].y + 114) << "row " << i + 1;
        EXPECT_EQ(moved[i].x, table[i].x) << "row " << i + 1;
    }
}

TEST(ChequePrint, OverallOffsetsLeftRightAsStoredUpDownRoundedHalfToEven)
{
    struct Case {
        double x0, y0, dx, dy;
    };
    const Case cases[] = {{28.5, 28.5, 28.5, 28}, {-28.5, -28.5, -28.5, -28}, {85.5, 85.5, 85.5, 86},
                          {57.25, 57.75, 57.25, 58}, {0, 0.5, 0, 0}, {0, 1.5, 0, 2}};
    const QList<PlacedText> table = printTable();
    for (const Case &c : cases) {
        const QList<PlacedText> got =
            print(filledCheque(), {{QStringLiteral("text1"), c.x0}, {QStringLiteral("text31"), c.y0}}).placedTexts();
        ASSERT_EQ(got.size(), 24);
        for (int i = 0; i < 24; ++i) {
            EXPECT_DOUBLE_EQ(got[i].x, table[i].x + c.dx) << "x0 " << c.x0 << " row " << i + 1;
            EXPECT_DOUBLE_EQ(got[i].y, table[i].y + c.dy) << "y0 " << c.y0 << " row " << i + 1;
        }
    }
}

// Each stored key moves exactly the rows it is documented for, in its own direction.
TEST(ChequePrint, EachOffsetKeyMovesItsOwnRows)
{
    struct Case {
        const char *key;
        bool vertical;
        std::set<int> rows; // 1-based rows of the print table
    };
    std::set<int> cells;
    for (int r = 15; r <= 24; ++r)
        cells.insert(r);
    const Case cases[] = {
        {"text89", false, {1}},  {"text91", false, {2}},  {"text92", false, {3}},  {"text90", true, {1, 2, 3}},
        {"text73", false, {4}},  {"text75", false, {5}},  {"text76", false, {6}},  {"text74", true, {4, 5, 6}},
        {"text93", false, {7}},  {"text94", true, {7}},   {"text95", false, {8}},  {"text96", true, {8}},
        {"text97", false, {9}},  {"text98", true, {9}},   {"text77", false, {10}}, {"text78", true, {10}},
        {"text79", false, {11}}, {"text80", true, {11}},  {"text81", false, {12}}, {"text82", true, {12}},
        {"text83", false, {13}}, {"text84", true, {13}},  {"text87", false, {14}}, {"text88", true, {14}},
        {"text85", false, cells}, {"text86", true, cells},
    };
    const QList<PlacedText> table = printTable();
    for (const Case &c : cases) {
        const QList<PlacedText> got = print(filledCheque(), {{QString::fromLatin1(c.key), -57}}).placedTexts();
        ASSERT_EQ(got.size(), 24) << c.key;
        for (int i = 0; i < 24; ++i) {
            const bool moves = c.rows.count(i + 1) > 0;
            EXPECT_EQ(got[i].x, table[i].x - (moves && !c.vertical ? 57 : 0)) << c.key << " row " << i + 1;
            EXPECT_EQ(got[i].y, table[i].y - (moves && c.vertical ? 57 : 0)) << c.key << " row " << i + 1;
        }
    }
}

TEST(ChequePrint, CounterfoilSwitchOffLeavesTheCounterfoilBlank)
{
    // As the window hands it over: the counterfoil fields are empty, the numeric date is kept.
    ChequeFace f = filledCheque();
    f.counterfoil = false;
    f.counterfoilPayee.clear();
    f.counterfoilAmount.clear();
    f.counterfoilPurpose.clear();
    const RecordingPageWriter rec = print(f);
    const QList<PlacedText> got = rec.placedTexts();
    QList<PlacedText> expected = printTable();
    for (int row : {9, 8, 7, 3, 2, 1})
        expected.removeAt(row - 1);
    EXPECT_EQ(got, expected) << rec.dump().toStdString();
    EXPECT_EQ(rec.endDocumentCount(), 1);
}

TEST(ChequePrint, BankSwitchOffPrintsNoBankNorAccount)
{
    ChequeFace f = filledCheque();
    f.bank.clear();
    f.account.clear();
    const QList<PlacedText> got = print(f).placedTexts();
    QList<PlacedText> expected = printTable();
    expected.removeAt(11); // account
    expected.removeAt(10); // bank
    EXPECT_EQ(got, expected);
}

TEST(ChequePrint, SmallAmountPrintsOnlyTheCellsThatHoldSomething)
{
    ChequeFace f = filledCheque();
    f.cells = {QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("0"),
               QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("￥"), {}, {}, {}};
    QList<PlacedText> cellTexts;
    for (const PlacedText &t : print(f).placedTexts())
        if (t.y == 1816)
            cellTexts << t;
    const QList<PlacedText> expected = {{10706, 1816, 9, QStringLiteral("￥")}, {10926, 1816, 9, QStringLiteral("1")},
                                        {11146, 1816, 9, QStringLiteral("0")}, {11366, 1816, 9, QStringLiteral("0")},
                                        {11586, 1816, 9, QStringLiteral("0")}, {11806, 1816, 9, QStringLiteral("5")},
                                        {12026, 1816, 9, QStringLiteral("0")}};
    EXPECT_EQ(cellTexts, expected);
}

TEST(ChequeCalibration, MillimetresShownAndTwipsStored)
{
    EXPECT_EQ(storedTwipsText(QStringLiteral("-1")), QStringLiteral("-57"));
    EXPECT_EQ(storedTwipsText(QStringLiteral("0.5")), QStringLiteral("28.5"));
    EXPECT_EQ(storedTwipsText(QStringLiteral("2mm")), QStringLiteral("114"));
    EXPECT_EQ(storedTwipsText(QStringLiteral("abc")), QStringLiteral("0"));
    EXPECT_EQ(storedTwipsText(QString()), QStringLiteral("0"));
    EXPECT_EQ(millimetreText(-57), QStringLiteral("-1"));
    EXPECT_EQ(millimetreText(28.5), QStringLiteral("0.5"));
    EXPECT_EQ(millimetreText(114), QStringLiteral("2"));
    EXPECT_EQ(millimetreText(100), QStringLiteral("1.75438596491228"));
    EXPECT_EQ(millimetreText(0), QStringLiteral("0"));
}

TEST(ChequeCalibration, KeysAndBoxesIncludingTheOddCounterfoilDateBoxes)
{
    const QList<KeyBox> &table = chequeKeyBoxes();
    ASSERT_EQ(table.size(), 30);
    // Written in the order text1, text31, text73 ... text100.
    EXPECT_EQ(table[0].key, QStringLiteral("text1"));
    EXPECT_EQ(table[1].key, QStringLiteral("text31"));
    for (int i = 2; i < 30; ++i)
        EXPECT_EQ(table[i].key, QStringLiteral("text%1").arg(71 + i));
    auto boxOf = [&](const QString &key) {
        for (const KeyBox &kb : table)
            if (kb.key == key)
                return kb.box;
        return QString();
    };
    EXPECT_EQ(boxOf(QStringLiteral("text89")), QStringLiteral("Text59"));
    EXPECT_EQ(boxOf(QStringLiteral("text90")), QStringLiteral("Text62"));
    EXPECT_EQ(boxOf(QStringLiteral("text91")), QStringLiteral("Text60"));
    EXPECT_EQ(boxOf(QStringLiteral("text92")), QStringLiteral("Text61"));
    EXPECT_EQ(boxOf(QStringLiteral("text1")), QStringLiteral("Text71"));
    EXPECT_EQ(boxOf(QStringLiteral("text31")), QStringLiteral("Text72"));
    EXPECT_EQ(boxOf(QStringLiteral("text99")), QStringLiteral("Text69"));
    EXPECT_EQ(boxOf(QStringLiteral("text100")), QStringLiteral("Text70"));
    std::set<QString> boxes;
    int switches = 0;
    for (const KeyBox &kb : table) {
        boxes.insert(kb.box);
        switches += kb.isSwitch;
    }
    EXPECT_EQ(boxes.size(), 30u); // no box shows two keys
    EXPECT_EQ(switches, 2);
}
