// Workbook export without a window: layout, cell types, names, limits and failures.

#include "history/columns.h"
#include "history/workbookexport.h"
#include "store/connection.h"
#include "store/datasource.h"
#include "storefixture.h"
#include "xlsxread.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using history::ExportResult;
using store::statements::history;

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "history_export_test";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};
::testing::Environment *const qtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

QString columnLetter(int c) { return QString(QChar('A' + c)); }

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.isValid());
        ASSERT_TRUE(out.isValid());
        StoreFixture::removeAll(history());
    }

    // dyrq, fkrq, pzlx, pzhm, fkje, fkyt, fkrmc, fkrzhh, fkrkhh, skrmc, skrzhh, skrkhh
    static void addRow(const QDate &printed, const QDate &paid, const QString &payee, const QString &number)
    {
        ASSERT_TRUE(StoreFixture::append(history(), {QVariant(), printed, paid, "支票", number, "1234.50", "货款",
                                                     "北京蓝石", "0200", "工行朝阳", payee, "3100", "建行浦东"}));
    }

    // Many rows at once, through one connection.
    static void addRows(int count, const QString &payee)
    {
        store::Connection connection;
        store::DataSource rows(connection);
        rows.setStatement(history());
        rows.refresh();
        store::Transaction t(connection);
        for (int i = 0; i < count; ++i) {
            rows.addNew();
            rows.setValue("fkrq", QDate(2010, 1, 1));
            rows.setValue("pzhm", QString::number(i));
            rows.setValue("skrmc", payee);
            ASSERT_TRUE(rows.update());
        }
        ASSERT_TRUE(t.commit());
    }

    ExportResult exportAll(const QString &name, const history::ExportOptions &options = {})
    {
        store::Connection connection;
        store::DataSource rows(connection);
        rows.setStatement(history());
        rows.refresh();
        return history::exportWorkbook(rows, history::historyColumns(), out.filePath(name), options);
    }

    QStringList filesInOut() const { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden); }

    StoreFixture db;
    QTemporaryDir out;
};

TEST_F(ExportTest, ThreeRowsReadBackWithCaptionsDatesAndTexts)
{
    addRow(QDate(2010, 4, 14), QDate(2010, 4, 9), "=1+1", "007");
    addRow(QDate(2011, 1, 2), QDate(2010, 12, 31), "华东建材有限公司", "10000001");
    addRow(QDate(2026, 12, 9), QDate(2026, 12, 9), "上海 'A%_' 物流", "10000002");

    const ExportResult r = exportAll("三行.xlsx");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.rowsWritten, 3);
    EXPECT_FALSE(r.truncated());
    EXPECT_EQ(r.path, out.filePath("三行.xlsx"));

    XlsxFile book(r.path);
    ASSERT_TRUE(book.isValid());
    EXPECT_TRUE(book.parts().contains("xl/workbook.xml"));
    EXPECT_EQ(book.lastRow(), 4);

    const auto columns = history::historyColumns();
    ASSERT_EQ(columns.size(), 14);
    for (int c = 0; c < 14; ++c)
        EXPECT_EQ(book.text(columnLetter(c) + "1"), columns[c].caption) << c;
    EXPECT_EQ(book.text("A1"), "打印日期");
    EXPECT_EQ(book.text("N1"), "市");
    EXPECT_FALSE(book.cells().contains("O1"));

    // Dates are date cells: a day number formatted as a date, not the grid's text.
    const XlsxFile::Cell printed = book.cell("A2");
    EXPECT_TRUE(printed.type.isEmpty() || printed.type == "n");
    EXPECT_EQ(XlsxFile::serialDate(printed.value), QDate(2010, 4, 14));
    EXPECT_TRUE(book.numberFormat(printed.style).contains("yy"));
    EXPECT_EQ(XlsxFile::serialDate(book.text("B3")), QDate(2010, 12, 31));
    EXPECT_EQ(XlsxFile::serialDate(book.text("B4")), QDate(2026, 12, 9));

    // Texts stay text exactly as stored: no formula, no number, no lost zero.
    const XlsxFile::Cell payee = book.cell("G2");
    EXPECT_EQ(payee.value, "=1+1");
    EXPECT_FALSE(payee.formula);
    EXPECT_FALSE(payee.type.isEmpty());
    EXPECT_EQ(book.text("D2"), "007");
    EXPECT_FALSE(book.cell("D2").type.isEmpty());
    // The amount is a number shown with its two decimals (the sheet can add it up).
    EXPECT_TRUE(book.cell("E2").type.isEmpty() || book.cell("E2").type == "n");
    EXPECT_EQ(book.text("E2").toDouble(), 1234.5);
    EXPECT_EQ(book.numberFormat(book.cell("E2").style), "0.00");
    EXPECT_EQ(book.text("G3"), "华东建材有限公司");
    EXPECT_EQ(book.text("G4"), "上海 'A%_' 物流");
    EXPECT_EQ(book.text("J3"), "北京蓝石");
    EXPECT_EQ(book.text("L4"), "工行朝阳");
    // Never written: empty cells.
    EXPECT_FALSE(book.cells().contains("M2"));
    EXPECT_FALSE(book.cells().contains("N4"));

    // Nothing but the workbook is left in the folder.
    EXPECT_EQ(filesInOut(), QStringList{"三行.xlsx"});
}

// A month's payments summed in the sheet give the total of the rows: every amount the history
// holds as an amount is a number cell; what is no amount stays text and counts for nothing.
TEST_F(ExportTest, AmountsAreNumbersWhoseSumIsTheTotalOfTheRows)
{
    const char *const amounts[] = {"1234.50", "0.05", "１０００", "99999999.99", "7", "12abc"};
    for (const char *a : amounts)
        ASSERT_TRUE(StoreFixture::append(history(), {QVariant(), QDate(2026, 12, 1), QDate(2026, 12, 1), "支票", "1",
                                                     QString::fromUtf8(a), "货款"}));
    const ExportResult r = exportAll("合计.xlsx");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    XlsxFile book(r.path);
    double sum = 0;
    int numbers = 0;
    for (int row = 2; row <= 7; ++row) {
        const XlsxFile::Cell c = book.cell(QStringLiteral("E%1").arg(row));
        if (c.type.isEmpty() || c.type == "n") {
            sum += c.value.toDouble();
            ++numbers;
            EXPECT_EQ(book.numberFormat(c.style), "0.00") << row;
        }
    }
    EXPECT_EQ(numbers, 5);
    EXPECT_EQ(qRound64(sum * 100), 1234'50 + 5 + 1000'00 + 99999999'99 + 7'00); // 101001242.54 yuan
    EXPECT_EQ(book.text("E7"), "12abc");
    EXPECT_FALSE(book.cell("E7").type.isEmpty());
}

TEST_F(ExportTest, WritesTheRowsOfTheQueryInTheirOrder)
{
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), "甲公司", "1");
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 5), "乙公司", "2");
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 3), "甲公司分号", "3");
    store::Connection connection;
    store::DataSource rows(connection);
    rows.setStatement(store::statements::historyPayeeBeginsWith("甲公司"));
    rows.refresh();
    const ExportResult r = history::exportWorkbook(rows, history::historyColumns(), out.filePath("q"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    XlsxFile book(r.path);
    EXPECT_EQ(book.lastRow(), 3);
    EXPECT_EQ(book.text("D2"), "1");
    EXPECT_EQ(book.text("D3"), "3");
}

TEST_F(ExportTest, SuffixIsAddedWhenMissing)
{
    EXPECT_EQ(history::workbookFileName("/a/b"), "/a/b.xlsx");
    EXPECT_EQ(history::workbookFileName("/a/b.xls"), "/a/b.xls.xlsx");
    EXPECT_EQ(history::workbookFileName("/a/b.XLSX"), "/a/b.XLSX");
    EXPECT_EQ(history::workbookFileName("/a/b.xlsx"), "/a/b.xlsx");

    addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), "甲", "1");
    const ExportResult r = exportAll("记录");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.path, out.filePath("记录.xlsx"));
    EXPECT_TRUE(QFile::exists(out.filePath("记录.xlsx")));
    EXPECT_FALSE(QFile::exists(out.filePath("记录")));
}

TEST_F(ExportTest, AnUnwritablePlaceFailsAndLeavesNothing)
{
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), "甲", "1");
    // A folder that is really a file fails even for root.
    QFile plain(out.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ExportResult r = exportAll("plain/x.xlsx");
    EXPECT_EQ(r.status, ExportResult::Status::Failed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_FALSE(r.ok());

    // A missing folder and a name that is a folder fail the same way.
    r = exportAll("missing/x.xlsx");
    EXPECT_EQ(r.status, ExportResult::Status::Failed);
    ASSERT_TRUE(QDir(out.path()).mkdir("folder.xlsx"));
    r = exportAll("folder.xlsx");
    EXPECT_EQ(r.status, ExportResult::Status::Failed);
    EXPECT_EQ(filesInOut(), QStringList{"plain"});
}

// A disk that fills up while the workbook is saved: the message names the cause and the folder,
// and no file is left.
TEST_F(ExportTest, AFullDiskIsToldAsSuch)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small disk";
    QTemporaryDir small;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small.path()}) != 0)
        GTEST_SKIP() << "cannot mount a small disk here";
    addRows(20000, QStringLiteral("收款人"));
    store::Connection connection;
    store::DataSource rows(connection);
    rows.setStatement(history());
    rows.refresh();
    const ExportResult r = history::exportWorkbook(rows, history::historyColumns(), small.filePath("x.xlsx"));
    EXPECT_EQ(r.status, ExportResult::Status::Failed);
    EXPECT_TRUE(r.error.contains(QStringLiteral("磁盘已满"))) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(small.path())) << r.error.toStdString();
    EXPECT_TRUE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QProcess::execute("umount", {small.path()});
}

TEST_F(ExportTest, AnExistingFileIsReplacedOnlyByACompleteOne)
{
    for (int i = 0; i < 10; ++i)
        addRow(QDate(2010, 1, 1), QDate(2010, 1, 1 + i), "甲", QString::number(i));
    QFile old(out.filePath("old.xlsx"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous export");
    old.close();

    // Abandoned half way: the old file stays as it was, no temporary is left behind.
    history::ExportOptions cancelling;
    cancelling.progressStep = 4;
    QList<int> seen;
    cancelling.progress = [&seen](int written, int total) {
        seen << written;
        EXPECT_EQ(total, 10);
        return written < 8;
    };
    ExportResult r = exportAll("old.xlsx", cancelling);
    EXPECT_EQ(r.status, ExportResult::Status::Cancelled);
    EXPECT_EQ(seen, (QList<int>{4, 8}));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("previous export"));
    old.close();
    EXPECT_EQ(filesInOut(), QStringList{"old.xlsx"});

    // Completed: replaced, with every row, and progress ends on the total.
    history::ExportOptions counting;
    counting.progressStep = 4;
    seen.clear();
    counting.progress = [&seen](int written, int) {
        seen << written;
        return true;
    };
    r = exportAll("old.xlsx", counting);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    // While the file is saved the progress stays at the total.
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.mid(0, 3), (QList<int>{4, 8, 10}));
    EXPECT_EQ(seen.count(10), seen.size() - 2);
    XlsxFile book(out.filePath("old.xlsx"));
    ASSERT_TRUE(book.isValid());
    EXPECT_EQ(book.lastRow(), 11);
    EXPECT_EQ(XlsxFile::serialDate(book.text("B11")), QDate(2010, 1, 10));
    EXPECT_TRUE(QFile(out.filePath("old.xlsx")).permissions() & QFile::ReadOther);
    EXPECT_EQ(filesInOut(), QStringList{"old.xlsx"});
}

TEST_F(ExportTest, RowsBeyondTheSheetLimitAreLeftOutAndSaidSo)
{
    for (int i = 0; i < 5; ++i)
        addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), "甲", QString::number(i));
    history::ExportOptions limited;
    limited.maxRows = 3;
    const ExportResult r = exportAll("limit.xlsx", limited);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.truncated());
    EXPECT_EQ(r.rowsWritten, 3);
    EXPECT_EQ(r.rowsAvailable, 5);
    XlsxFile book(r.path);
    EXPECT_EQ(book.lastRow(), 4);
    EXPECT_EQ(book.text("D4"), "2");
    EXPECT_EQ(history::kSheetDataRows, 1048576 - 1);
}

TEST_F(ExportTest, AnOverLongValueIsCutAndEveryRowExported)
{
    addRows(300, "甲");
    // A cell holds at most 32,767 characters; this payee is longer.
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), QString(40000, QChar('x')), "long");
    addRows(300, "乙");
    const ExportResult r = exportAll("long.xlsx");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.rowsWritten, 601);
    EXPECT_EQ(r.cutRows, QVector<int>{302}); // the sheet row of the long name
    EXPECT_TRUE(r.cleanedRows.isEmpty());
    XlsxFile book(r.path);
    EXPECT_EQ(book.lastRow(), 602);
    EXPECT_EQ(book.text("G302"), QString(32767, QChar('x')));
    EXPECT_EQ(book.text("D302"), "long");
    EXPECT_EQ(book.text("G303"), "乙");
    EXPECT_EQ(filesInOut(), QStringList{"long.xlsx"});
}

// What a spreadsheet program reads from a cell: "_xHHHH_" stands for the character HHHH.
QString asSpreadsheetReadsIt(QString text)
{
    static const QRegularExpression escape("_x([0-9A-Fa-f]{4})_");
    QString out;
    int at = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(at, m.capturedStart() - at) + QChar(ushort(m.captured(1).toUInt(nullptr, 16)));
        at = m.capturedEnd();
    }
    return out + text.mid(at);
}

TEST_F(ExportTest, ValuesReadBackAsStoredOrAreReportedChanged)
{
    const QString wide = QString::fromUtf8("\xF0\xA0\x80\x80"); // U+20000, a surrogate pair
    const struct {
        const char *name;
        QString stored, readBack;
        bool cut, cleaned;
    } cases[] = {
        {"a literal escape", "_x0041_ 与 _x00e9_", "_x0041_ 与 _x00e9_", false, false},
        {"not an escape", "_X0041_ _x41_ _x0041", "_X0041_ _x41_ _x0041", false, false},
        {"a NUL inside", QString("A") + QChar(0) + "B", "AB", false, true},
        {"control characters", QString("行") + QChar(1) + "一" + QChar(0x1F), "行一", false, true},
        {"tab and line breaks", "甲\t乙\r\n丙", "甲\t乙\r\n丙", false, false},
        {"a vertical tab", QString("a") + QChar(0x0B) + "b", "ab", false, true},
        {"a pair outside the basic plane", "名" + wide, "名" + wide, false, false},
        {"a pair at the limit", QString(32766, 'x') + wide, QString(32766, 'x'), true, false},
        {"escapes count against the limit", "_x0041_" + QString(32760, 'x'), "_x0041_" + QString(32754, 'x'), true,
         false},
    };
    for (const auto &c : cases) {
        StoreFixture::removeAll(history());
        addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), c.stored, "1");
        ASSERT_EQ(StoreFixture::column(history(), "skrmc"), QStringList{c.stored}) << c.name;
        const ExportResult r = exportAll("values.xlsx");
        ASSERT_TRUE(r.ok()) << c.name << ": " << r.error.toStdString();
        XlsxFile book(r.path);
        EXPECT_EQ(asSpreadsheetReadsIt(book.text("G2")), c.readBack) << c.name;
        EXPECT_EQ(r.cutRows, c.cut ? QVector<int>{2} : QVector<int>{}) << c.name;
        EXPECT_EQ(r.cleanedRows, c.cleaned ? QVector<int>{2} : QVector<int>{}) << c.name;
    }
}

TEST_F(ExportTest, ProvinceAndCityFillTheLastColumns)
{
    ASSERT_TRUE(StoreFixture::append(history(), {QVariant(), QDate(2010, 1, 1), QDate(2010, 1, 1), "汇款凭证", "9",
                                                 "10.00", "货款", "北京蓝石", "0200", "工行朝阳", "深圳某公司", "4400",
                                                 "建行福田", "广东", "深圳"}));
    const ExportResult r = exportAll("place.xlsx");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    XlsxFile book(r.path);
    EXPECT_EQ(book.text("M1"), "省");
    EXPECT_EQ(book.text("N1"), "市");
    EXPECT_EQ(book.text("M2"), "广东");
    EXPECT_EQ(book.text("N2"), "深圳");
    EXPECT_EQ(book.text("L2"), "工行朝阳");
    EXPECT_FALSE(book.cells().contains("O2"));
}

// An export killed half way left its temporary file; the next export to the same name takes it
// away, and nothing of another name.
TEST_F(ExportTest, WhatAKilledExportLeftGoesWithTheNextOne)
{
    addRow(QDate(2010, 1, 1), QDate(2010, 1, 1), "甲", "1");
    for (const char *name : {".记录.xlsx.Ab12Cd", ".记录.xlsx.Xy98Zz.tmp", ".别的.xlsx.Ab12Cd", "记录.xlsx.bak"}) {
        QFile f(out.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("partial");
    }
    ASSERT_TRUE(exportAll("记录.xlsx").ok());
    EXPECT_EQ(filesInOut(), (QStringList{".别的.xlsx.Ab12Cd", "记录.xlsx", "记录.xlsx.bak"}));
}

TEST_F(ExportTest, NoRowsWritesNothing)
{
    const ExportResult r = exportAll("empty.xlsx");
    EXPECT_EQ(r.status, ExportResult::Status::NoRows);
    EXPECT_TRUE(filesInOut().isEmpty());
}

TEST(HistoryColumns, DisplayForms)
{
    const auto columns = history::historyColumns();
    EXPECT_EQ(columns[0].format(QDate(2010, 4, 14)), "2010-04-14");
    EXPECT_EQ(columns[1].format(QDate(2010, 4, 4)), "2010-04-04");
    EXPECT_EQ(columns[0].format(QVariant()), "");
    EXPECT_EQ(columns[1].format(QString("2010/4/14 手写")), "2010/4/14 手写");
    // Sums of amounts.
    for (const auto &[fen, shown] : {std::pair<qint64, const char *>{0, "0.00"}, {5, "0.05"}, {-50, "-0.50"},
                                     {123456789, "1,234,567.89"}, {99999, "999.99"}, {100000, "1,000.00"},
                                     {std::numeric_limits<qint64>::min(), "-92,233,720,368,547,758.08"}})
        EXPECT_EQ(history::fenText(fen), shown) << fen;
    QStringList names;
    for (const auto &c : columns)
        names << c.column;
    EXPECT_FALSE(names.contains("xh"));
    EXPECT_EQ(names.join(','), "dyrq,fkrq,pzlx,pzhm,fkje,fkyt,skrmc,skrzhh,skrkhh,fkrmc,fkrzhh,fkrkhh,sheng,shi");
}

} // namespace
