// Reading .xlsx packages made by hand: every way a cell holds its text, the sheet chosen, and the
// damaged and hostile packages that must be refused with a message.

#include "sheets/sheets.h"
#include "xlsxcraft.h"

#include <QElapsedTimer>
#include "printing.h"

#include <gtest/gtest.h>

using xlsxtest::simpleXlsx;

namespace {

struct Expected {
    int sheetRow;
    QStringList cells;
};

struct Case {
    const char *name;
    QByteArray file;
    QStringList header;
    QVector<Expected> rows;
};

QByteArray inlineCell(const char *ref, const QByteArray &text)
{
    return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// Every part through Qt's XML reader alone, which the quick reader must agree with.
sheets::ReadOptions fullReaderOnly()
{
    sheets::ReadOptions options;
    options.quickXml = false;
    return options;
}

void expectRows(const sheets::Sheet &sheet, const Case &c)
{
    ASSERT_TRUE(sheet.ok()) << c.name << ": " << sheet.error.toStdString();
    EXPECT_EQ(sheet.header, c.header) << c.name;
    ASSERT_EQ(sheet.rows.size(), c.rows.size()) << c.name;
    for (int i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(sheet.rows[i].sheetRow, c.rows[i].sheetRow) << c.name << " row " << i;
        EXPECT_EQ(sheet.rows[i].cells, c.rows[i].cells) << c.name << " row " << i;
    }
}

} // namespace

TEST(XlsxReader, CellsReadAsTheSpreadsheetShowsThem)
{
    const QByteArray header = "<row r=\"1\">" + inlineCell("A1", "名称") + "</row>";
    const QByteArray formats = xlsxtest::styles(
        {0, 14, 164, 165, 49, 22},
        "<numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"[Red]#,##0.00_);(#,##0.00)\"/>");
    const Case cases[] = {
        {"shared, inline and rich texts, phonetic readings left out, escapes undone",
         simpleXlsx("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                    "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c>"
                    "<c r=\"B2\" t=\"inlineStr\"><is><r><t>东</t></r><r><rPr><b/></rPr><t>京</t></r>"
                    "<rPh sb=\"0\" eb=\"2\"><t>トウキョウ</t></rPh></is></c>"
                    "<c r=\"C2\" t=\"s\"><v>2</v></c><c r=\"D2\" t=\"s\"><v>3</v></c></row>",
                    xlsxtest::sharedStrings("<si><t>客户名称</t></si>"
                                            "<si><r><rPr><b/></rPr><t>北京</t></r><r><t xml:space=\"preserve\"> 甲公司 </t></r>"
                                            "<rPh sb=\"0\" eb=\"2\"><t>ペキン</t></rPh><phoneticPr fontId=\"1\"/></si>"
                                            "<si><t>a_x000D_b_x005F_x0041_</t></si>"
                                            "<si><t>他说&quot;好&quot;,&amp;走了</t></si>")),
         {"客户名称"},
         {{2, {"北京 甲公司 ", "东京", "a\rb_x0041_", "他说\"好\",&走了"}}}},
        {"numbers in plain digits, dates by their format",
         simpleXlsx(header
                        + "<row r=\"2\"><c r=\"A2\"><v>6222021234567890</v></c><c r=\"B2\" s=\"1\"><v>45356</v></c>"
                          "<c r=\"C2\" s=\"2\"><v>45356.5</v></c><c r=\"D2\" s=\"3\"><v>1234.5</v></c>"
                          "<c r=\"E2\" s=\"4\"><v>0.30000000000000004</v></c><c r=\"F2\"><v>6.2220212345678904E+15</v></c>"
                          "<c r=\"G2\" s=\"5\"><v>36585</v></c><c r=\"H2\" s=\"99\"><v>42</v></c>"
                          "<c r=\"I2\"><v>-1E-6</v></c><c r=\"J2\" s=\"1\"><v>60</v></c></row>",
                    {}, formats),
         {"名称"},
         {{2,
           {"6222021234567890", "2024-03-05", "2024-03-05 12:00:00", "1234.5", "0.3", "6222021234567890",
            "2000-02-29", "42", "-0.000001", "1900-02-29"}}}},
        {"dates counted from 1904",
         simpleXlsx(header + "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>43894</v></c><c r=\"B2\" s=\"1\"><v>0</v></c></row>", {},
                    formats, "<workbookPr date1904=\"1\"/>"),
         {"名称"},
         {{2, {"2024-03-05", "1904-01-01"}}}},
        {"cells and rows placed without references",
         simpleXlsx("<row><c t=\"inlineStr\"><is><t>a</t></is></c><c/><c t=\"inlineStr\"><is><t>c</t></is></c></row>"
                    "<row><c><v>1</v></c></row><row r=\"5\"><c t=\"str\"><v>x</v></c></row>"
                    "<row><c r=\"C7\"><v>7</v></c></row>"),
         {"a", "", "c"},
         {{2, {"1"}}, {5, {"x"}}, {7, {"", "", "7"}}}},
        {"formulas read as their saved result",
         simpleXlsx(header
                    + "<row r=\"2\"><c r=\"A2\" t=\"str\"><f>B2&amp;\"\"</f><v>甲</v></c><c r=\"B2\"><f>1+1</f><v>2</v></c>"
                      "<c r=\"C2\" t=\"d\"><v>2024-03-05T00:00:00</v></c></row>"),
         {"名称"},
         {{2, {"甲", "2", "2024-03-05"}}}},
        {"empty rows and trailing empty cells left out, a heading alone is no error",
         simpleXlsx(header
                    + "<row r=\"2\"><c r=\"A2\" s=\"0\"/><c r=\"XFD2\" s=\"0\"/></row>"
                      "<row r=\"3\">" + inlineCell("A3", "") + "</row>"
                      "<row r=\"4\"><c r=\"A4\"><v>1</v></c>" + inlineCell("XFD4", "") + "</row><row r=\"6\"/>"),
         {"名称"},
         {{4, {"1"}}}},
    };
    for (const Case &c : cases) {
        expectRows(sheets::readXlsx(c.file, QStringLiteral("t.xlsx")), c);
        expectRows(sheets::readXlsx(c.file, QStringLiteral("t.xlsx"), fullReaderOnly()), c);
    }
}

TEST(XlsxReader, TheFarCornerOfTheSheetIsReachable)
{
    const auto sheet = sheets::readXlsx(simpleXlsx("<row r=\"1048576\">" + inlineCell("XFD1048576", "角") + "</row>"),
                                        QStringLiteral("t.xlsx"));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0].sheetRow, 1048576);
    ASSERT_EQ(sheet.rows[0].cells.size(), 16384);
    EXPECT_EQ(sheet.rows[0].cells.last(), "角");
    // Only the columns asked for are looked at.
    sheets::ReadOptions two;
    two.columns = 2;
    EXPECT_TRUE(sheets::readXlsx(simpleXlsx("<row r=\"2\">" + inlineCell("XFD2", "远") + "</row>"), "t", two).rows.isEmpty());
}

TEST(XlsxReader, WorksheetChosenByNameOrPosition)
{
    const auto sheetWith = [](const char *text) { return xlsxtest::worksheet("<row r=\"1\">" + inlineCell("A1", text) + "</row>"); };
    const QByteArray file = xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("图表"), "<chartsheet/>", true},
                                                                  {QStringLiteral("说明"), sheetWith("说明页")},
                                                                  {QStringLiteral("SHEET1"), sheetWith("客户页")}}));
    const auto first = sheets::readXlsx(file, QStringLiteral("t.xlsx"));
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    EXPECT_EQ(first.sheetName, "说明"); // a chart sheet is no worksheet
    EXPECT_EQ(first.header, QStringList{"说明页"});
    sheets::ReadOptions options;
    options.preferredSheet = QStringLiteral("sheet1");
    const auto named = sheets::readXlsx(file, QStringLiteral("t.xlsx"), options);
    EXPECT_EQ(named.sheetName, "SHEET1");
    EXPECT_EQ(named.header, QStringList{"客户页"});
}

TEST(XlsxReader, DamagedAndHostilePackagesAreRefused)
{
    const QByteArray header = "<row r=\"1\">" + inlineCell("A1", "名称") + "</row>";
    const QByteArray good = simpleXlsx(header + "<row r=\"2\">" + inlineCell("A2", "甲") + "</row>");
    QByteArray manyCells;
    for (int r = 1; r <= 400; ++r)
        manyCells += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"XFD" + QByteArray::number(r) + "\"><v>1</v></c></row>";
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                              "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]><worksheet xmlns=\"" + QByteArray(xlsxtest::kMain)
        + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&d;&d;&d;</t></is></c></row></sheetData></worksheet>";
    const QByteArray external = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                                "<worksheet xmlns=\"" + QByteArray(xlsxtest::kMain)
        + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&e;</t></is></c></row></sheetData></worksheet>";
    QByteArray attributes = "<row r=\"1\"><c r=\"A1\"";
    for (int i = 0; i < 50000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"\"";
    attributes += "/></row>";
    xlsxtest::Parts noWorkbookRels = xlsxtest::package({{QStringLiteral("Sheet1"), xlsxtest::worksheet(header)}});
    noWorkbookRels.removeLast();
    // The workbook's relationships with 20 MB of empty elements inside, declared as 300 bytes.
    xlsxtest::Parts bomb = xlsxtest::package({{QStringLiteral("Sheet1"), xlsxtest::worksheet(header)}});
    bomb.last().second.replace("</Relationships>", QByteArray("<a/>").repeated(5 * 1024 * 1024) + "</Relationships>");

    const struct {
        const char *name;
        QByteArray file;
        const char *says;
    } cases[] = {
        {"logical value", simpleXlsx(header + "<row r=\"2\"><c r=\"B2\" t=\"b\"><v>1</v></c></row>"), "第 2 行第 2 列是逻辑值或错误值 TRUE"},
        {"formula with an error result",
         simpleXlsx(header + "<row r=\"3\"><c r=\"C3\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c></row>"), "第 3 行第 3 列是公式，它的结果是 #DIV/0!"},
        {"shared text that does not exist",
         simpleXlsx("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>", xlsxtest::sharedStrings("<si><t>a</t></si>")), "引用的文字不存在"},
        {"number that is none", simpleXlsx(header + "<row r=\"2\"><c r=\"A2\"><v>12abc</v></c></row>"), "数字无效"},
        {"unknown cell type", simpleXlsx(header + "<row r=\"2\"><c r=\"A2\" t=\"zz\"><v>1</v></c></row>"), "类型无法识别"},
        {"column beyond the sheet", simpleXlsx("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), "无效"},
        {"row beyond the sheet", simpleXlsx("<row r=\"1048577\"><c><v>1</v></c></row>"), "无效"},
        {"row zero", simpleXlsx("<row><c r=\"A0\"><v>1</v></c></row>"), "无效"},
        {"absurd reference", simpleXlsx("<row><c r=\"A99999999999999999999\"><v>1</v></c></row>"), "无效"},
        {"row twice", simpleXlsx(header + header), "不止一次"},
        {"cell twice", simpleXlsx("<row r=\"1\"><c r=\"B1\"><v>1</v></c><c r=\"A1\"><v>2</v></c></row>"), "不止一次"},
        {"cell outside its row", simpleXlsx("<row r=\"2\"><c r=\"A3\"><v>1</v></c></row>"), "不符"},
        {"too many cells", simpleXlsx(manyCells), "太大"},
        {"entities multiplied in a document type", xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("Sheet1"), laughs}})), "文档类型"},
        {"external entity", xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("Sheet1"), external}})), "文档类型"},
        {"broken XML", xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("Sheet1"), "<worksheet><sheetData><row><c>"}})), "XML"},
        {"cell text over the limit", simpleXlsx("<row r=\"1\">" + inlineCell("A1", QByteArray(40000, 'x')) + "</row>"), "32767"},
        {"an element with 50,000 attributes", simpleXlsx(attributes), "属性多得不正常"},
        {"elements nested 100,000 deep", simpleXlsx(QByteArray(300000, '<').replace("<", "<x>")), "层次深得不正常"},
        {"a run of 2 MB of text", simpleXlsx("<row r=\"1\">" + inlineCell("A1", QByteArray(2 * 1024 * 1024, 'x')) + "</row>"),
         "长得不正常"},
        {"sheet part missing", xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("Sheet1"), QByteArray()}})), "缺少工作表 Sheet1"},
        {"no worksheet", xlsxtest::zipBytes(xlsxtest::package({{QStringLiteral("图表"), "<chartsheet/>", true}})), "没有工作表"},
        {"zip that is no workbook", xlsxtest::zipBytes({{QStringLiteral("说明.txt"), "hello"}}), "不是 Excel 工作簿"},
        {"workbook relationships missing", xlsxtest::zipBytes(noWorkbookRels), "缺少 xl/_rels/workbook.xml.rels"},
        {"truncated", good.left(good.size() / 2), "已损坏"},
        {"cut before its directory", good.left(good.size() - 30), "已损坏"},
        {"sheet declared larger than any sheet", xlsxtest::declaredSize(good, "xl/worksheets/sheet1.xml", 0xF0000000u), "超过"},
        {"part inflating beyond what it declares", xlsxtest::declaredSize(xlsxtest::zipBytes(bomb), "xl/_rels/workbook.xml.rels", 300), "超过 16 MB"},
    };
    for (const auto &c : cases) {
        ASSERT_FALSE(c.file.isEmpty()) << c.name;
        QElapsedTimer clock;
        clock.start();
        const auto sheet = sheets::readXlsx(c.file, QStringLiteral("坏.xlsx"));
        EXPECT_FALSE(sheet.ok()) << c.name;
        EXPECT_TRUE(sheet.rows.isEmpty() && sheet.header.isEmpty()) << c.name;
        EXPECT_TRUE(sheet.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << sheet.error.toStdString();
        EXPECT_LT(clock.elapsed(), 5000) << c.name; // one read, not the comparison below
        EXPECT_EQ(sheets::readXlsx(c.file, QStringLiteral("坏.xlsx"), fullReaderOnly()).error, sheet.error) << c.name;
    }
}
