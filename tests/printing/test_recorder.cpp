// The recorder that the vouchers' print tests compare against their print tables.

#include "printing/pagewriter_recorder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace printing;

namespace {

// A small routine in the style of a voucher: page, then position, size and text per field.
void sampleRoutine(PageWriter &w)
{
    w.setPageHeight(5000);
    w.setPageWidth(16000);
    w.setCurrentX(1556);
    w.setCurrentY(2666 + 28.5);
    w.setFontSize(9);
    w.printText(QStringLiteral("2010"));
    w.setCurrentX(4636);
    w.setCurrentY(1216);
    w.setFontSize(10.5);
    w.printText(QStringLiteral("壹拾贰元叁角整"));
    w.line(1140, 456, 10830, 456);
    w.setCurrentX(-57);
    w.printText(QString());
    w.endDocument();
}

} // namespace

TEST(Recorder, RecordsEveryOperationInOrderWithItsArguments)
{
    RecordingPageWriter rec;
    sampleRoutine(rec);
    const QList<PrintOp> expected = {
        PrintOp::pageHeight(5000), PrintOp::pageWidth(16000),  PrintOp::currentX(1556),
        PrintOp::currentY(2694.5), PrintOp::fontSize(9),       PrintOp::printText(QStringLiteral("2010")),
        PrintOp::currentX(4636),   PrintOp::currentY(1216),    PrintOp::fontSize(10.5),
        PrintOp::printText(QStringLiteral("壹拾贰元叁角整")),  PrintOp::line(1140, 456, 10830, 456),
        PrintOp::currentX(-57),    PrintOp::printText(QString()), PrintOp::endDocument()};
    ASSERT_EQ(rec.ops().size(), expected.size()) << rec.dump().toStdString();
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(rec.ops()[i], expected[i]) << "operation " << i;
    EXPECT_EQ(rec.pageHeight(), 5000);
    EXPECT_EQ(rec.pageWidth(), 16000);
    EXPECT_EQ(rec.endDocumentCount(), 1);
}

TEST(Recorder, PlacedTextsCarryThePositionAndSizeInForce)
{
    RecordingPageWriter rec;
    sampleRoutine(rec);
    const QList<PlacedText> expected = {{1556, 2694.5, 9, QStringLiteral("2010")},
                                        {4636, 1216, 10.5, QStringLiteral("壹拾贰元叁角整")},
                                        // x moved, y and size stay from before
                                        {-57, 1216, 10.5, QString()}};
    EXPECT_EQ(rec.placedTexts(), expected);
}

TEST(Recorder, PlacedTextBeforeAnySettingStandsAtTheOriginWithSizeZero)
{
    RecordingPageWriter rec;
    rec.printText(QStringLiteral("T"));
    ASSERT_EQ(rec.placedTexts().size(), 1);
    EXPECT_EQ(rec.placedTexts().first(), (PlacedText{0, 0, 0, QStringLiteral("T")}));
    EXPECT_EQ(rec.pageHeight(), 0);
    EXPECT_EQ(rec.pageWidth(), 0);
}

TEST(Recorder, LastPageSizeCounts)
{
    RecordingPageWriter rec;
    rec.setPageHeight(9000);
    rec.setPageWidth(15000);
    rec.setPageHeight(5000);
    EXPECT_EQ(rec.pageHeight(), 5000);
    EXPECT_EQ(rec.pageWidth(), 15000);
}

TEST(Recorder, ReplayGivesTheSameOperations)
{
    RecordingPageWriter first;
    sampleRoutine(first);
    RecordingPageWriter second;
    replay(first.ops(), second);
    EXPECT_EQ(second.ops(), first.ops());
}

// Every field takes part in equality: a comparison that ignored one would let a wrong print pass.
TEST(PrintOpEquality, EachFieldMatters)
{
    const PrintOp base = PrintOp::line(1, 2, 3, 4);
    EXPECT_EQ(base, PrintOp::line(1, 2, 3, 4));
    EXPECT_NE(base, PrintOp::line(9, 2, 3, 4));
    EXPECT_NE(base, PrintOp::line(1, 9, 3, 4));
    EXPECT_NE(base, PrintOp::line(1, 2, 9, 4));
    EXPECT_NE(base, PrintOp::line(1, 2, 3, 9));
    EXPECT_NE(PrintOp::currentX(100), PrintOp::currentY(100));
    EXPECT_NE(PrintOp::pageHeight(5000), PrintOp::pageWidth(5000));
    EXPECT_NE(PrintOp::printText(QStringLiteral("a")), PrintOp::printText(QStringLiteral("b")));
    EXPECT_NE(PrintOp::fontSize(10.5), PrintOp::fontSize(10));
    EXPECT_NE(PrintOp::currentX(1556), PrintOp::currentX(1556.5));

    const PlacedText t{1, 2, 9, QStringLiteral("x")};
    EXPECT_EQ(t, (PlacedText{1, 2, 9, QStringLiteral("x")}));
    EXPECT_NE(t, (PlacedText{0, 2, 9, QStringLiteral("x")}));
    EXPECT_NE(t, (PlacedText{1, 0, 9, QStringLiteral("x")}));
    EXPECT_NE(t, (PlacedText{1, 2, 6, QStringLiteral("x")}));
    EXPECT_NE(t, (PlacedText{1, 2, 9, QStringLiteral("y")}));
}

TEST(PrintOpText, ReadableInFailureMessages)
{
    EXPECT_EQ(PrintOp::line(1140, 456, 10830, 456.5).toString(), QStringLiteral("line (1140, 456)-(10830, 456.5)"));
    EXPECT_EQ(PrintOp::printText(QStringLiteral("说\"明\"")).toString(), QStringLiteral("text \"说\\\"明\\\"\""));
    EXPECT_EQ(PrintOp::fontSize(10.5).toString(), QStringLiteral("font size 10.5"));
    EXPECT_EQ(PrintOp::pageWidth(16000).toString(), QStringLiteral("page width 16000"));
    EXPECT_EQ(PrintOp::endDocument().toString(), QStringLiteral("end document"));

    std::ostringstream os;
    os << PrintOp::currentY(2694.5) << " / " << PlacedText{1556, 2666, 9, QStringLiteral("壹")};
    EXPECT_EQ(os.str(), "current y 2694.5 / (1556, 2666) 9pt \"壹\"");

    char *s = toString(PrintOp::currentX(-57));
    EXPECT_STREQ(s, "current x -57");
    delete[] s;
}
