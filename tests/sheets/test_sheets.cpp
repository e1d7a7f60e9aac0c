// One sheet saved in every kind the clerk brings reads as the same rows; the kind is told by the
// content; templates read back.

#include "sheets/sheets.h"
#include "xlsbuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "printing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

using xlstest::Row;

namespace {

// The sheet as typed: texts, numbers and dates (serial days with a date format).
const QVector<Row> kTyped = {
    Row{QStringLiteral("收款人"), QStringLiteral("帐号"), QStringLiteral("开户行"), QStringLiteral("金额"),
        QStringLiteral("日期"), QStringLiteral("用途")},
    Row{QStringLiteral("北京甲有限公司"), QStringLiteral("6222021234567890123"), QStringLiteral("中国工商银行北京海淀支行"),
        1234.5, xlstest::Date{45356}, QStringLiteral("他说\"好\",然后走了")},
    Row{QStringLiteral("上海乙商行"), 6222021234567890.0, QStringLiteral("建设银行"), 0.1 + 0.2, xlstest::Date{36585},
        QStringLiteral("第一行\n第二行")},
    Row{},
    Row{QStringLiteral("丙"), QString(), QString(), 100.0},
};

// The same sheet as a bookkeeping program exports it.
const char *kCsv = "收款人,帐号,开户行,金额,日期,用途\r\n"
                   "北京甲有限公司,6222021234567890123,中国工商银行北京海淀支行,1234.5,2024-03-05,\"他说\"\"好\"\",然后走了\"\r\n"
                   "上海乙商行,6222021234567890,建设银行,0.3,2000-02-29,\"第一行\n第二行\"\r\n"
                   "\r\n"
                   "丙,,,100,,\r\n";

const QStringList kHeader = {"收款人", "帐号", "开户行", "金额", "日期", "用途"};
const QVector<sheets::Row> kRows = {
    {2, {"北京甲有限公司", "6222021234567890123", "中国工商银行北京海淀支行", "1234.5", "2024-03-05", "他说\"好\",然后走了"}},
    {3, {"上海乙商行", "6222021234567890", "建设银行", "0.3", "2000-02-29", "第一行\n第二行"}},
    {5, {"丙", "", "", "100"}},
};

bool writeXlsx(const QString &path, const QVector<Row> &rows, bool constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory; // writes texts inline instead of in a shared table
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, "付款");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            const xlstest::Cell &cell = rows[r][c];
            if (const QString *t = std::get_if<QString>(&cell); t && !t->isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), t->toUtf8().constData(), nullptr);
            else if (const double *d = std::get_if<double>(&cell))
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), *d, nullptr);
            else if (const xlstest::Date *day = std::get_if<xlstest::Date>(&cell))
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), day->serial, date);
        }
    return workbook_close(book) == LXW_NO_ERROR;
}

QByteArray toGbk(const QByteArray &utf8)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    QByteArray out(utf8.size() * 2, '\0');
    char *from = const_cast<char *>(utf8.constData());
    char *to = out.data();
    size_t fromLeft = size_t(utf8.size()), toLeft = size_t(out.size());
    const bool ok = iconv(cd, &from, &fromLeft, &to, &toLeft) != size_t(-1);
    iconv_close(cd);
    out.truncate(out.size() - int(toLeft));
    return ok ? out : QByteArray();
}

class SheetsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(xlstest::writeFile(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(SheetsTest, TheSameSheetInEveryKindReadsAsTheSameRows)
{
    const QByteArray csv(kCsv);
    const QByteArray gbk = toGbk(csv);
    ASSERT_FALSE(gbk.isEmpty());
    ASSERT_TRUE(writeXlsx(dir.filePath("shared.xlsx"), kTyped, false));
    ASSERT_TRUE(writeXlsx(dir.filePath("inline.xlsx"), kTyped, true));
    const QStringList files = {
        dir.filePath("shared.xlsx"),
        dir.filePath("inline.xlsx"),
        write("list.xls", xlstest::workbook({xlstest::Sheet{QStringLiteral("付款"), kTyped}})),
        write("utf8.csv", QByteArray(csv).replace("\r\n", "\n")),
        write("bom.csv", "\xEF\xBB\xBF" + csv),
        write("gbk.csv", gbk),
    };
    for (const QString &path : files) {
        const sheets::Sheet sheet = sheets::readSheet(path);
        const std::string name = QFileInfo(path).fileName().toStdString();
        ASSERT_TRUE(sheet.ok()) << name << ": " << sheet.error.toStdString();
        EXPECT_EQ(sheet.header, kHeader) << name;
        ASSERT_EQ(sheet.rows.size(), kRows.size()) << name;
        for (int i = 0; i < kRows.size(); ++i) {
            EXPECT_EQ(sheet.rows[i].sheetRow, kRows[i].sheetRow) << name << " row " << i;
            EXPECT_EQ(sheet.rows[i].cells, kRows[i].cells) << name << " row " << i;
        }
    }
}

TEST_F(SheetsTest, TheKindIsToldByTheContent)
{
    ASSERT_TRUE(writeXlsx(dir.filePath("book.xlsx"), kTyped, false));
    QFile::copy(dir.filePath("book.xlsx"), dir.filePath("named.csv"));
    const QByteArray xls = xlstest::workbook({xlstest::Sheet{QStringLiteral("付款"), kTyped}});
    // A password-protected .xlsx is a compound file holding an encrypted package.
    QByteArray encrypted = xls;
    const QByteArray stream = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    const int entry = int(encrypted.lastIndexOf(stream));
    ASSERT_GT(entry, 0);
    const QString packageName = QStringLiteral("EncryptedPackage");
    QByteArray name(64, '\0');
    std::memcpy(name.data(), packageName.utf16(), size_t(packageName.size()) * 2);
    encrypted.replace(entry, 64, name);
    encrypted[entry + 0x40] = char((packageName.size() + 1) * 2);

    const struct {
        const char *name;
        QString path;
        const char *says; // empty: read
        sheets::Kind kind;
    } cases[] = {
        {"xlsx named .csv", dir.filePath("named.csv"), "", sheets::Kind::Xlsx},
        {"xls named .xlsx", write("old.xlsx", xls), "", sheets::Kind::Xls},
        {"text named .xlsx", write("text.xlsx", kCsv), "不是 Excel 工作簿（.xlsx）", sheets::Kind::Xlsx},
        {"text named .xls", write("text.xls", kCsv), "不是 Excel 97-2003 工作簿", sheets::Kind::Xls},
        {"protected xlsx", write("secret.xlsx", encrypted), "密码", sheets::Kind::Xls},
        {"unknown name", write("list.dat", kCsv), "无法识别", sheets::Kind::Unknown},
        {"missing", dir.filePath("none.csv"), "找不到", sheets::Kind::Csv},
        {"empty", write("empty.xlsx", QByteArray()), "空文件", sheets::Kind::Xlsx},
        {"folder", dir.path(), "不是文件", sheets::Kind::Unknown},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(sheets::kindOf(c.path), c.kind) << c.name;
        const sheets::Sheet sheet = sheets::readSheet(c.path);
        if (*c.says == 0) {
            ASSERT_TRUE(sheet.ok()) << c.name << ": " << sheet.error.toStdString();
            EXPECT_EQ(sheet.rows.size(), kRows.size()) << c.name;
        } else {
            EXPECT_TRUE(sheet.rows.isEmpty()) << c.name;
            EXPECT_TRUE(sheet.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << sheet.error.toStdString();
        }
    }
}

TEST_F(SheetsTest, TemplateReadsBackWithItsHeaderAndExamples)
{
    const QStringList header = {"客户名称", "帐号", "开户行", "省/市", "市/县"};
    const QString path = dir.filePath("模板.xlsx");
    ASSERT_TRUE(xlstest::writeFile(path, "an older file in the way"));
    QString error;
    ASSERT_TRUE(sheets::writeTemplate(path, header, {}, &error)) << error.toStdString();
    const sheets::Sheet empty = sheets::readSheet(path);
    ASSERT_TRUE(empty.ok()) << empty.error.toStdString();
    EXPECT_EQ(empty.header, header);
    EXPECT_TRUE(empty.rows.isEmpty());

    const QList<QStringList> examples = {{"北京甲公司", "6222021234567890123", "工商银行", "北京", "海淀"}, {"=1+1", "007"}};
    ASSERT_TRUE(sheets::writeTemplate(path, header, examples, &error)) << error.toStdString();
    const sheets::Sheet filled = sheets::readSheet(path);
    ASSERT_TRUE(filled.ok()) << filled.error.toStdString();
    ASSERT_EQ(filled.rows.size(), 2);
    EXPECT_EQ(filled.rows[0].cells, examples[0]);
    EXPECT_EQ(filled.rows[1].cells, examples[1]); // texts stay texts
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"模板.xlsx"}); // nothing left beside it
}

TEST_F(SheetsTest, ATemplateThatCannotBeWrittenSaysSoAndLeavesNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    const QString locked = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    ::chmod(QFile::encodeName(locked).constData(), 0500);
    QString error;
    EXPECT_FALSE(sheets::writeTemplate(locked + "/模板.xlsx", {"a"}, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(sheets::writeTemplate(dir.path(), {"a"}, {}, &error)); // a folder
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}
