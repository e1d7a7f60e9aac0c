// Reading an Excel 97-2003 workbook: rows, cell texts, the sheet chosen and every kind of bad file.

#include "sheets/cells.h"
#include "sheets/sheets.h"
#include "xlsbuilder.h"

#include <QTemporaryDir>
#include "printing.h"

#include <gtest/gtest.h>

#include <random>

using xlstest::Row;

namespace {

// As the customer import reads: five columns, the sheet named sheet1 where there is one.
sheets::Sheet readCustomerSheet(const QString &path)
{
    sheets::ReadOptions options;
    options.columns = 5;
    options.preferredSheet = QStringLiteral("sheet1");
    return sheets::readSheet(path, options);
}

class WorkbookTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("khb.xls"))
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(xlstest::writeFile(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(WorkbookTest, ReadsDataRowsAfterTheHeadingByPosition)
{
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook({
        Row{QStringLiteral("北京甲公司"), QStringLiteral("6222"), QStringLiteral("工行"), QStringLiteral("北京"),
            QStringLiteral("海淀"), QStringLiteral("多余的列")},
        Row{QStringLiteral("乙公司")},
    })));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[0].cells, (QStringList{"北京甲公司", "6222", "工行", "北京", "海淀"}));
    EXPECT_EQ(sheet.rows[0].sheetRow, 2);
    EXPECT_EQ(sheet.rows[1].cells, QStringList{"乙公司"}); // trailing empty cells left out
    EXPECT_EQ(sheet.rows[1].sheetRow, 3);
    EXPECT_EQ(sheet.header, (QStringList{"客户名称", "帐号", "开户行", "省/市", "市/县"}));
    EXPECT_EQ(sheet.sheetName, "Sheet1");
}

TEST_F(WorkbookTest, EveryColumnIsReadUnlessFewerAreAsked)
{
    const QString path = write(xlstest::customerWorkbook({
        Row{QStringLiteral("甲"), QString(), QString(), QString(), QString(), QString(), QStringLiteral("第七列")},
    }));
    const auto all = sheets::readSheet(path);
    ASSERT_TRUE(all.ok()) << all.error.toStdString();
    ASSERT_EQ(all.rows.size(), 1);
    EXPECT_EQ(all.rows[0].cells, (QStringList{"甲", "", "", "", "", "", "第七列"}));
    const auto five = readCustomerSheet(path);
    ASSERT_TRUE(five.ok()) << five.error.toStdString();
    EXPECT_EQ(five.rows[0].cells, QStringList{"甲"});
}

TEST_F(WorkbookTest, NumbersAndDatesReadAsTheCellShowsThem)
{
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook({
        Row{QStringLiteral("甲"), 6222021234567890.0, 12.5, xlstest::Date{40282}, -3.0},
        Row{QStringLiteral("乙"), 0.1 + 0.2, 1e20, 42.0, 1234567.0},
    })));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[0].cells, (QStringList{"甲", "6222021234567890", "12.5", "2010-04-14", "-3"}));
    EXPECT_EQ(sheet.rows[1].cells, (QStringList{"乙", "0.3", "100000000000000000000", "42", "1234567"}));
}

TEST_F(WorkbookTest, SheetFoundByNameInAnyCaseAndPosition)
{
    xlstest::Sheet other;
    other.name = "说明";
    other.rows = {Row{QStringLiteral("这不是客户")}, Row{QStringLiteral("也不是")}};
    xlstest::Sheet customers;
    customers.name = "SHEET1";
    customers.rows = {Row{QStringLiteral("名称")}, Row{QStringLiteral("丙公司")}};
    const auto sheet = readCustomerSheet(write(xlstest::workbook({other, customers})));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0].cells[0], "丙公司");
    EXPECT_EQ(sheet.sheetName, "SHEET1");
    // Without a preference the first worksheet is read.
    const auto first = sheets::readSheet(dir.filePath("khb.xls"));
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    EXPECT_EQ(first.sheetName, "说明");
    EXPECT_EQ(first.header, QStringList{"这不是客户"});
}

TEST_F(WorkbookTest, WithoutSheet1TheFirstWorksheetIsReadAndAHeadingAloneIsNoError)
{
    const auto other = readCustomerSheet(write(xlstest::customerWorkbook({Row{QStringLiteral("甲")}}, "客户")));
    ASSERT_TRUE(other.ok()) << other.error.toStdString();
    EXPECT_EQ(other.sheetName, "客户");
    ASSERT_EQ(other.rows.size(), 1);
    EXPECT_EQ(other.rows[0].cells, QStringList{"甲"});

    const auto heading = readCustomerSheet(write(xlstest::customerWorkbook({}), "heading.xls"));
    ASSERT_TRUE(heading.ok()) << heading.error.toStdString();
    EXPECT_TRUE(heading.rows.isEmpty());
    EXPECT_EQ(heading.header.size(), 5);
}

TEST_F(WorkbookTest, EmptyRowsAreLeftOut)
{
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook({
        Row{QStringLiteral("甲")},
        Row{},
        Row{QString(), QString(), QString(), QString(), QString(), QStringLiteral("只有第六列")},
        Row{QString(), QStringLiteral("6222")},
    })));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[1].sheetRow, 5);
    EXPECT_EQ(sheet.rows[1].cells, (QStringList{"", "6222"}));
}

TEST_F(WorkbookTest, BadFilesGiveAMessageAndNoRows)
{
    const QByteArray good = xlstest::customerWorkbook({Row{QStringLiteral("甲")}});
    QByteArray garbled = good;
    for (int i = 512; i < garbled.size(); i += 7)
        garbled[i] = char(0xA5);
    QByteArray badFat = good;
    badFat.replace(good.size() - 512, 512, QByteArray(512, '\x07'));

    const struct {
        const char *name;
        QString path;
        const char *says;
    } cases[] = {
        {"missing", dir.filePath("none.xls"), "找不到"},
        {"empty", write({}, "empty.xls"), "空文件"},
        {"text", write("客户名称,帐号\n甲,1\n", "text.xls"), "不是 Excel 97-2003 工作簿"},
        {"header only", write(good.left(512), "header.xls"), "无法"},
        {"truncated", write(good.left(good.size() / 2), "half.xls"), ""},
        {"garbled", write(garbled, "garbled.xls"), ""},
        {"bad allocation table", write(badFat, "fat.xls"), ""},
        {"password", write(xlstest::workbook({xlstest::Sheet{"Sheet1", {Row{"a"}, Row{"b"}}}}, {true}), "pw.xls"),
         "密码"},
        {"directory", dir.path(), "不是文件"},
    };
    for (const auto &c : cases) {
        const auto sheet = readCustomerSheet(c.path);
        EXPECT_FALSE(sheet.ok()) << c.name;
        EXPECT_TRUE(sheet.rows.isEmpty()) << c.name;
        EXPECT_TRUE(sheet.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << sheet.error.toStdString();
    }
}

TEST_F(WorkbookTest, LongSheetSpansSeveralStringRecords)
{
    QVector<Row> rows;
    for (int i = 0; i < 3000; ++i)
        rows.append(Row{QStringLiteral("客户%1号有限公司").arg(i), QStringLiteral("6222%1").arg(i)});
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook(rows)));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 3000);
    EXPECT_EQ(sheet.rows[2999].cells[0], "客户2999号有限公司");
    EXPECT_EQ(sheet.rows[1234].cells[1], "62221234");
}

// A 512-byte compound file header found by the fuzzer: FreeXL reads a directory name through
// a length it never checks and runs off its stack buffer. The program must only see an error.
TEST_F(WorkbookTest, FileThatBreaksTheLibraryIsReportedAsDamaged)
{
    QByteArray bytes(512, '\xff');
    bytes.replace(0, 9, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00", 9));
    bytes.replace(0x13, 17, QByteArray("\x00\x00\x00\x00\x00\x3e\x00\x03\x00\xfe\xff\x09\x00\x06\x00\x00\xf9", 17));
    bytes[0x9f] = '\xfe';
    bytes[0xcf] = '\xfe';
    const auto sheet = readCustomerSheet(write(bytes, "crafted.xls"));
    EXPECT_FALSE(sheet.ok());
    EXPECT_TRUE(sheet.rows.isEmpty());
    EXPECT_FALSE(sheet.error.isEmpty());
}

// Formula cells keep the result Excel saved with them; the cell reader leaves them empty, and an
// account number computed by a formula used to import as "无" with the success message.
TEST_F(WorkbookTest, FormulaCellsReadAsTheirSavedResult)
{
    using xlstest::Formula;
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook({
        Row{QStringLiteral("甲公司"), Formula{6222021234567890.0}, Formula{QStringLiteral("工商银行海淀支行")},
            Formula{QString()}, QStringLiteral("海淀")},
        Row{Formula{QStringLiteral("乙公司")}, Formula{12.5}, Formula{40282.0, true}, Formula{1e300, true}},
    })));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[0].cells, (QStringList{"甲公司", "6222021234567890", "工商银行海淀支行", "", "海淀"}));
    // A date as the cell shows it; a number no calendar holds as the number it is.
    EXPECT_EQ(sheet.rows[1].cells.mid(0, 3), (QStringList{"乙公司", "12.5", "2010-04-14"}));
    EXPECT_FALSE(sheet.rows[1].cells[3].isEmpty());
    EXPECT_FALSE(sheet.rows[1].cells[3].contains('-'));
}

TEST_F(WorkbookTest, FormulaWithoutAUsableResultIsRefusedNamingItsCell)
{
    using xlstest::Formula;
    const auto sheet = readCustomerSheet(write(xlstest::customerWorkbook({
        Row{QStringLiteral("甲公司"), QStringLiteral("6222")},
        Row{QStringLiteral("乙公司"), QStringLiteral("6223"), Formula{xlstest::Error{0x07}}},
    })));
    EXPECT_FALSE(sheet.ok());
    EXPECT_TRUE(sheet.rows.isEmpty());
    EXPECT_TRUE(sheet.error.contains(QStringLiteral("第 3 行第 3 列是公式"))) << sheet.error.toStdString();
    EXPECT_TRUE(sheet.error.contains(QStringLiteral("#DIV/0!"))) << sheet.error.toStdString();
}

// Damaged copies of a 300-row sheet, as a bad disk or an interrupted download leaves them: a
// few random bytes, a sector of noise, one byte. Each one is either refused or read whole; none
// may give part of its rows as if it were the whole sheet.
TEST_F(WorkbookTest, ADamagedWorkbookIsNeverReadInPart)
{
    QVector<Row> rows;
    for (int i = 0; i < 300; ++i)
        rows.append(Row{QStringLiteral("客户%1有限公司").arg(i), QStringLiteral("6222%1").arg(i),
                        QStringLiteral("工商银行%1支行").arg(i % 7), QStringLiteral("北京"), QStringLiteral("海淀")});
    const QByteArray good = xlstest::customerWorkbook(rows);
    std::mt19937 random(20261209);
    int refused = 0;
    for (int copy = 0; copy < 250; ++copy) {
        QByteArray bytes = good;
        const int at = 512 + int(random() % quint32(bytes.size() - 512));
        const int length = copy % 3 == 0 ? 1 + int(random() % 64) : copy % 3 == 1 ? 512 : 1;
        for (int i = 0; i < length && at + i < bytes.size(); ++i)
            bytes[at + i] = char(random());
        const auto sheet = readCustomerSheet(write(bytes, QStringLiteral("damaged.xls")));
        if (!sheet.ok()) {
            ++refused;
            EXPECT_TRUE(sheet.rows.isEmpty());
            continue;
        }
        EXPECT_EQ(sheet.rows.size(), 300) << "copy " << copy << ": " << length << " bytes at " << at;
    }
    EXPECT_GT(refused, 100); // the damage is real
}

// The length of one cell record grown so that it swallows the next row's five cells: both
// readings skip them, and only the sheet's own records can tell.
TEST_F(WorkbookTest, RowsSwallowedByADamagedRecordAreNamed)
{
    QVector<Row> rows;
    for (int i = 0; i < 300; ++i)
        rows.append(Row{QStringLiteral("客户%1").arg(i), QStringLiteral("6222%1").arg(i), QStringLiteral("工行"),
                        QStringLiteral("北京"), QStringLiteral("海淀")});
    QByteArray bytes = xlstest::customerWorkbook(rows);
    // The string cell of row index 96, column 4: type 0x00FD, length 10, row 0x60, column 4.
    const QByteArray cell("\xfd\x00\x0a\x00\x60\x00\x04\x00", 8);
    const int at = bytes.indexOf(cell);
    ASSERT_GT(at, 0);
    bytes[at + 2] = char(0x4c); // 4 + 76 bytes: up to the middle of the next row's last record
    const auto sheet = readCustomerSheet(write(bytes));
    EXPECT_FALSE(sheet.ok());
    EXPECT_TRUE(sheet.rows.isEmpty());
    EXPECT_TRUE(sheet.error.contains(QStringLiteral("从第 97 行起"))) << sheet.error.toStdString();
}
