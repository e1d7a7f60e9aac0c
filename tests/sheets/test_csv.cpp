// Reading comma-, semicolon- and tab-separated texts: encodings, quoting, line ends, and texts that are no
// table at all.

#include "sheets/sheets.h"

#include <QElapsedTimer>
#include "printing.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    int sheetRow;
    QStringList cells;
};

QByteArray utf16le(const QString &text)
{
    QByteArray b("\xFF\xFE", 2);
    for (const QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

} // namespace

TEST(CsvReader, FieldsLinesAndEncodings)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QStringList header;
        QVector<Expected> rows;
    } cases[] = {
        {"quotes doubled, separators and line breaks inside quotes, CRLF",
         "名称,备注\r\n\"他说\"\"好\"\",然后走了\",\"第一行\r\n第二行\"\r\n乙,\"\"\r\n",
         {"名称", "备注"},
         {{2, {"他说\"好\",然后走了", "第一行\n第二行"}}, {3, {"乙"}}}},
        {"LF, no line break at the end, empty lines kept in the numbering",
         "a,b\n\n1,2\n,,\n3", {"a", "b"}, {{3, {"1", "2"}}, {5, {"3"}}}},
        {"old Mac line ends", "a\rb\rc", {"a"}, {{2, {"b"}}, {3, {"c"}}}},
        {"text after a closing quote and a quote inside a plain field", "\"ab\"c,d\"e\n1", {"abc", "d\"e"}, {{2, {"1"}}}},
        {"a number kept as text by a formula wrapper", "帐号\n=\"6222021234567890123\",\"=\"\"007\"\"\"\n",
         {"帐号"}, {{2, {"6222021234567890123", "007"}}}},
        {"spaces and empty middle fields kept", " a ,,c\n", {" a ", "", "c"}, {}},
        {"tab separated, commas inside the fields", "名称\t金额\n甲,乙\t1,000\n", {"名称", "金额"}, {{2, {"甲,乙", "1,000"}}}},
        {"semicolons, a decimal comma and a quoted semicolon", "客户名称;帐号;开户行\n甲;6222;\"工行;朝阳\"\n乙;1,5\n",
         {"客户名称", "帐号", "开户行"}, {{2, {"甲", "6222", "工行;朝阳"}}, {3, {"乙", "1,5"}}}},
        {"tabs with a comma in the header", "名称\t金额,元\t备注\n甲\t1\tx\n", {"名称", "金额,元", "备注"},
         {{2, {"甲", "1", "x"}}}},
        {"UTF-8 with its byte order mark", "\xEF\xBB\xBF名称\n甲\n", {"名称"}, {{2, {"甲"}}}},
        {"GBK", "\xC3\xFB\xB3\xC6\n\xBC\xD7\xB9\xAB\xCB\xBE\n", {"名称"}, {{2, {"甲公司"}}}},
        {"UTF-16 with its byte order mark, tab separated", utf16le(QStringLiteral("名称\t帐号\r\n甲\t6222\r\n")),
         {"名称", "帐号"}, {{2, {"甲", "6222"}}}},
        {"old DOS end-of-file mark", "a\n1\n\x1A", {"a"}, {{2, {"1"}}}},
    };
    for (const auto &c : cases) {
        const auto sheet = sheets::readCsv(c.bytes, QStringLiteral("t.csv"));
        ASSERT_TRUE(sheet.ok()) << c.name << ": " << sheet.error.toStdString();
        EXPECT_EQ(sheet.header, c.header) << c.name;
        ASSERT_EQ(sheet.rows.size(), c.rows.size()) << c.name;
        for (int i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(sheet.rows[i].sheetRow, c.rows[i].sheetRow) << c.name;
            EXPECT_EQ(sheet.rows[i].cells, c.rows[i].cells) << c.name;
        }
    }
}

TEST(CsvReader, TextsThatAreNoTableAreRefused)
{
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 256);
    const struct {
        const char *name;
        QByteArray bytes;
        const char *says;
    } cases[] = {
        {"binary garbage", garbage, "无法"},
        {"control characters in valid UTF-8", "a,b\n1,\x01\x02\n", "第 2 行含有控制字符"},
        {"neither UTF-8 nor GBK", "\xC3\xFB\xB3\xC6,\xFF\xFF\x80\n", "编码无法识别"},
        {"invalid UTF-8 after a byte order mark", "\xEF\xBB\xBF\xC3\xFB\xB3\xC6\n", "编码无法识别"},
        {"UTF-16 of an odd length", "\xFF\xFE\x41\x00\x42", "编码无法识别"},
        {"a quote never closed", "a,b\n1,\"2\n3,4\n5,6\n", "第 2 行有一个引号没有配对"},
        {"a 10 MB line of one field", QByteArray(10 * 1024 * 1024, 'x'), "第 1 行第 1 列的内容超过 32767"},
        {"a 10 MB line of fields", QByteArray(10 * 1024 * 1024, ','), "列数超过 16384"},
        {"a 10 MB quoted field", "a\n\"" + QByteArray(10 * 1024 * 1024, 'x'), "第 2 行第 1 列的内容超过 32767"},
        {"a byte order mark alone", "\xEF\xBB\xBF", "没有内容"},
        {"line breaks alone", "\r\n\r\n", "没有内容"},
    };
    for (const auto &c : cases) {
        QElapsedTimer clock;
        clock.start();
        const auto sheet = sheets::readCsv(c.bytes, QStringLiteral("坏.csv"));
        EXPECT_FALSE(sheet.ok()) << c.name;
        EXPECT_TRUE(sheet.rows.isEmpty() && sheet.header.isEmpty()) << c.name;
        EXPECT_TRUE(sheet.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << sheet.error.toStdString();
        EXPECT_LT(clock.elapsed(), 5000) << c.name;
    }
}

TEST(CsvReader, OnlyTheColumnsAskedForAreKept)
{
    sheets::ReadOptions options;
    options.columns = 2;
    const auto sheet = sheets::readCsv("a,b,c\n1,2,3\n,,3\n", QStringLiteral("t.csv"), options);
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    EXPECT_EQ(sheet.header, (QStringList{"a", "b"}));
    ASSERT_EQ(sheet.rows.size(), 1); // the third row has nothing in the first two columns
    EXPECT_EQ(sheet.rows[0].cells, (QStringList{"1", "2"}));
}
