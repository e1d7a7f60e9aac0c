#include "storetest.h"

#include "store/connection.h"
#include "store/datasource.h"
#include "store/gridmodel.h"
#include "store/statements.h"

#include <QAbstractItemModelTester>
#include <QDate>
#include <QSignalSpy>

#include <random>

namespace {

using namespace store;

class DataSourceTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(m_conn.isOpen()) << m_conn.errorText().toStdString();
        // Start every test from an empty customer table.
        DataSource ds(m_conn);
        ds.setStatement(statements::customers());
        ds.refresh();
        while (ds.hasRow()) {
            ASSERT_TRUE(ds.deleteCurrent());
            ds.moveNext();
        }
    }

    void addCustomers(const QStringList &names)
    {
        DataSource ds(m_conn);
        ds.setStatement(statements::customers());
        ds.refresh();
        Transaction t(m_conn);
        for (const QString &name : names) {
            ds.addNew();
            ASSERT_TRUE(ds.setValue(QStringLiteral("gsmc"), name));
            ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();
        }
        ASSERT_TRUE(t.commit());
    }

    // The names of the whole result, read without moving the current row.
    static QStringList names(const DataSource &ds)
    {
        QStringList out;
        for (int i = 0; i < ds.recordCount(); ++i)
            out << ds.textAt(i, 0);
        return out;
    }

    QStringList tableNames()
    {
        DataSource ds(m_conn);
        ds.setStatement(statements::customers());
        ds.refresh();
        return names(ds);
    }

    Connection m_conn;
};

// The delete sequence of the management windows and the history query.
void deleteAsTheWindowsDo(DataSource &ds)
{
    ds.update();
    ds.moveNext();
    if (!ds.eof()) {
        const Bookmark next = ds.bookmark();
        ds.movePrevious();
        ASSERT_TRUE(ds.deleteCurrent());
        ds.update();
        ASSERT_TRUE(ds.setBookmark(next));
    } else {
        ds.moveFirst();
        const Bookmark first = ds.bookmark();
        ds.moveLast();
        ASSERT_TRUE(ds.deleteCurrent());
        ASSERT_TRUE(ds.setBookmark(first));
    }
}

TEST_F(DataSourceTest, AnEmptyResultReadsAsEmptyTextsAndNeverFails)
{
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ASSERT_TRUE(ds.refresh());
    EXPECT_EQ(ds.recordCount(), 0);
    EXPECT_TRUE(ds.bof());
    EXPECT_TRUE(ds.eof());
    EXPECT_FALSE(ds.hasRow());
    EXPECT_EQ(ds.currentRow(), -1);
    EXPECT_EQ(ds.absolutePosition(), 0);
    EXPECT_EQ(ds.text(QStringLiteral("gsmc")), QString());
    EXPECT_EQ(ds.text(0), QString());
    EXPECT_FALSE(ds.value(0).isValid());
    EXPECT_FALSE(ds.bookmark().isValid());
    ds.moveNext();
    ds.movePrevious();
    ds.moveLast();
    ds.moveFirst();
    EXPECT_TRUE(ds.bof() && ds.eof());
    EXPECT_FALSE(ds.deleteCurrent());
    EXPECT_FALSE(ds.setValue(0, QStringLiteral("x")));
    EXPECT_TRUE(ds.update()); // nothing pending
    EXPECT_EQ(tableNames(), QStringList());
}

TEST_F(DataSourceTest, NullColumnsAndUnknownColumnsReadAsEmptyText)
{
    addCustomers({QStringLiteral("只有名称")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    EXPECT_EQ(ds.text(QStringLiteral("gsmc")), QStringLiteral("只有名称"));
    EXPECT_TRUE(ds.isNull(QStringLiteral("zhh")));
    EXPECT_EQ(ds.text(QStringLiteral("zhh")), QString());
    EXPECT_EQ(ds.text(QStringLiteral("no_such_column")), QString());
    EXPECT_EQ(ds.text(99), QString());
    EXPECT_EQ(ds.text(QStringLiteral("GSMC")), QStringLiteral("只有名称")); // names without case
}

TEST_F(DataSourceTest, MovesPositionsAndEndFlags)
{
    addCustomers({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ASSERT_TRUE(ds.refresh());
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_FALSE(ds.bof());
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.absolutePosition(), 1);
    EXPECT_EQ(ds.text(0), QStringLiteral("甲"));

    ds.moveNext();
    ds.moveNext();
    EXPECT_EQ(ds.absolutePosition(), 3);
    EXPECT_EQ(ds.text(0), QStringLiteral("丙"));
    ds.moveNext();
    EXPECT_TRUE(ds.eof());
    EXPECT_FALSE(ds.bof());
    EXPECT_FALSE(ds.hasRow());
    EXPECT_EQ(ds.text(0), QString());
    ds.moveNext(); // stays at the end
    EXPECT_TRUE(ds.eof());
    ds.movePrevious();
    EXPECT_EQ(ds.text(0), QStringLiteral("丙"));

    ds.moveFirst();
    ds.movePrevious();
    EXPECT_TRUE(ds.bof());
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.absolutePosition(), 0);
    ds.movePrevious();
    ds.moveNext();
    EXPECT_EQ(ds.text(0), QStringLiteral("甲"));
    ds.moveLast();
    EXPECT_EQ(ds.absolutePosition(), 3);
    EXPECT_TRUE(ds.setCurrentRow(1));
    EXPECT_EQ(ds.text(0), QStringLiteral("乙"));
    EXPECT_FALSE(ds.setCurrentRow(3));
    EXPECT_EQ(ds.text(0), QStringLiteral("乙"));
}

TEST_F(DataSourceTest, BookmarksSurviveTheDeletionOfOtherRows)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                  QStringLiteral("D"), QStringLiteral("E")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ds.setCurrentRow(3);
    const Bookmark d = ds.bookmark();
    ds.setCurrentRow(1);
    const Bookmark b = ds.bookmark();
    ASSERT_TRUE(ds.deleteCurrent());           // B
    ds.moveLast();
    ASSERT_TRUE(ds.deleteCurrent());           // E
    ASSERT_TRUE(ds.setBookmark(d));
    EXPECT_EQ(ds.text(0), QStringLiteral("D"));
    EXPECT_EQ(ds.absolutePosition(), 3);
    EXPECT_FALSE(ds.setBookmark(b));           // a deleted row cannot be returned to
    EXPECT_EQ(ds.text(0), QStringLiteral("D"));
    EXPECT_EQ(tableNames(), (QStringList{QStringLiteral("A"), QStringLiteral("C"),
                                         QStringLiteral("D")}));
}

TEST_F(DataSourceTest, DeletingTheMiddleRowMakesTheNextOneCurrent)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ds.setCurrentRow(1);
    deleteAsTheWindowsDo(ds);
    EXPECT_EQ(ds.text(0), QStringLiteral("C"));
    EXPECT_EQ(ds.absolutePosition(), 2);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(tableNames(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
}

TEST_F(DataSourceTest, DeletingTheLastRowMakesTheFirstOneCurrent)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ds.moveLast();
    deleteAsTheWindowsDo(ds);
    EXPECT_EQ(ds.text(0), QStringLiteral("A"));
    EXPECT_EQ(ds.absolutePosition(), 1);
    deleteAsTheWindowsDo(ds); // A, with B after it
    EXPECT_EQ(ds.text(0), QStringLiteral("B"));
    EXPECT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(tableNames(), QStringList{QStringLiteral("B")});
}

TEST_F(DataSourceTest, AfterADeleteMovesStartFromTheDeletedRow)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();

    ds.setCurrentRow(1);
    ASSERT_TRUE(ds.deleteCurrent());
    EXPECT_FALSE(ds.hasRow());
    EXPECT_FALSE(ds.bof());
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.text(0), QString());
    ds.movePrevious();
    EXPECT_EQ(ds.text(0), QStringLiteral("A"));

    // "Delete, move next, at the end move last".
    ds.moveLast();
    ASSERT_TRUE(ds.deleteCurrent());
    ds.moveNext();
    EXPECT_TRUE(ds.eof());
    ds.moveLast();
    EXPECT_EQ(ds.text(0), QStringLiteral("A"));

    ASSERT_TRUE(ds.deleteCurrent()); // the only row
    ds.moveNext();
    EXPECT_TRUE(ds.eof());
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recordCount(), 0);
}

TEST_F(DataSourceTest, AddNewAppendsTheRowAndMakesItCurrent)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ds.moveFirst();
    ds.addNew();
    EXPECT_TRUE(ds.isAdding());
    EXPECT_TRUE(ds.hasRow());
    EXPECT_EQ(ds.text(0), QString());
    ds.setValue(QStringLiteral("gsmc"), QStringLiteral("新客户"));
    ds.setValue(1, QStringLiteral("6222"));
    EXPECT_EQ(ds.text(0), QStringLiteral("新客户")); // assigned values read back before update
    ASSERT_TRUE(ds.update());
    EXPECT_FALSE(ds.isAdding());
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.absolutePosition(), 3);
    EXPECT_EQ(ds.text(QStringLiteral("zhh")), QStringLiteral("6222"));

    // Update with nothing pending, issued freely, changes nothing.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ds.update());
    EXPECT_EQ(tableNames(), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                         QStringLiteral("新客户")}));

    // A cancelled new row is never written and the previous row is current again.
    ds.moveFirst();
    ds.addNew();
    ds.setValue(0, QStringLiteral("作废"));
    ds.cancelUpdate();
    EXPECT_EQ(ds.text(0), QStringLiteral("A"));
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(tableNames().size(), 3);
}

TEST_F(DataSourceTest, EditsAreWrittenByUpdateOrByTheNextMove)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ASSERT_TRUE(ds.setValue(QStringLiteral("gsmc"), QStringLiteral("O'Brien 有限公司")));
    ASSERT_TRUE(ds.setValue(2, QStringLiteral("银行")));
    EXPECT_EQ(ds.text(0), QStringLiteral("O'Brien 有限公司"));
    ASSERT_TRUE(ds.update());
    ds.moveNext();
    ASSERT_TRUE(ds.setValue(0, QStringLiteral("B2")));
    ds.moveFirst(); // writes the pending change
    EXPECT_EQ(tableNames(), (QStringList{QStringLiteral("O'Brien 有限公司"), QStringLiteral("B2")}));
    EXPECT_EQ(ds.text(QStringLiteral("khh")), QStringLiteral("银行"));

    ds.moveNext();
    ds.setValue(0, QStringLiteral("不保存"));
    ds.cancelUpdate();
    EXPECT_EQ(ds.text(0), QStringLiteral("B2"));
    ds.refresh();
    EXPECT_EQ(names(ds).at(1), QStringLiteral("B2"));
}

TEST_F(DataSourceTest, HistoryDatesAreStoredAsIsoText)
{
    DataSource ds(m_conn);
    ds.setStatement(statements::history());
    ds.refresh();
    ds.addNew();
    EXPECT_FALSE(ds.setValue(QStringLiteral("xh"), 5)); // the key is the store's
    ASSERT_TRUE(ds.setValue(QStringLiteral("dyrq"), QDate(2024, 1, 2)));
    ASSERT_TRUE(ds.setValue(QStringLiteral("fkrq"), QStringLiteral("2010/4/14")));
    EXPECT_FALSE(ds.setValue(QStringLiteral("fkrq"), QStringLiteral("2010/13/1")));
    EXPECT_FALSE(ds.setValue(QStringLiteral("fkrq"), QStringLiteral("abc")));
    EXPECT_FALSE(ds.errorText().isEmpty());
    ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();

    DataSource check(m_conn);
    check.setStatement(statements::history());
    check.refresh();
    ASSERT_EQ(check.recordCount(), 1);
    EXPECT_EQ(check.text(QStringLiteral("dyrq")), QStringLiteral("2024-01-02"));
    EXPECT_EQ(check.text(QStringLiteral("fkrq")), QStringLiteral("2010-04-14"));
    EXPECT_EQ(check.value(QStringLiteral("fkrq")), QVariant(QDate(2010, 4, 14)));
    EXPECT_EQ(check.text(QStringLiteral("pzlx")), QString());

    ASSERT_TRUE(check.setValue(QStringLiteral("fkrq"), QStringLiteral(" 2011-12-31 ")));
    ASSERT_TRUE(check.setValue(QStringLiteral("dyrq"), QString()));
    ASSERT_TRUE(check.update());
    check.refresh();
    EXPECT_EQ(check.text(QStringLiteral("fkrq")), QStringLiteral("2011-12-31"));
    EXPECT_TRUE(check.isNull(QStringLiteral("dyrq")));
}

TEST_F(DataSourceTest, CalibrationNumbersReadBackAsTheirDecimalText)
{
    DataSource ds(m_conn);
    ds.setStatement(statements::generalLayout());
    ds.refresh();
    const QStringList written{QStringLiteral("114"), QStringLiteral("-57"),
                              QStringLiteral("142.5"), QStringLiteral("-28.5"),
                              QStringLiteral("0"), QStringLiteral("1.75438596491228")};
    for (int i = 0; i < written.size(); ++i)
        ASSERT_TRUE(ds.setValue(i, written.at(i)));
    ASSERT_TRUE(ds.update());

    DataSource check(m_conn);
    check.setStatement(statements::generalLayout());
    check.refresh();
    for (int i = 0; i < written.size(); ++i)
        EXPECT_EQ(check.text(i), written.at(i)) << i;
    EXPECT_EQ(check.text(QStringLiteral("jexxjg")), QStringLiteral("0"));
}

TEST_F(DataSourceTest, TwoDataSourcesOnOneFileSeeEachOthersWritesAfterRefresh)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B")});
    Connection other;
    DataSource mine(m_conn);
    DataSource theirs(other);
    mine.setStatement(statements::customers());
    theirs.setStatement(statements::customers());
    mine.refresh();
    theirs.refresh();

    theirs.addNew();
    theirs.setValue(0, QStringLiteral("C"));
    ASSERT_TRUE(theirs.update()) << theirs.errorText().toStdString();
    EXPECT_EQ(mine.recordCount(), 2);
    mine.refresh();
    EXPECT_EQ(names(mine), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                        QStringLiteral("C")}));

    // Until its next refresh a data source keeps its rows: one it has read shows what it read,
    // one it had not read yet when the other deleted it reads as empty.
    DataSource unread(m_conn);
    unread.setStatement(statements::customers());
    unread.refresh();
    theirs.moveFirst();
    ASSERT_TRUE(theirs.deleteCurrent()); // A
    mine.moveFirst();
    EXPECT_EQ(mine.text(0), QStringLiteral("A"));
    EXPECT_EQ(mine.recordCount(), 3);
    EXPECT_EQ(unread.recordCount(), 3);
    EXPECT_TRUE(unread.hasRow());
    EXPECT_EQ(unread.text(0), QString());
    EXPECT_EQ(unread.textAt(1, 0), QStringLiteral("B"));
    mine.refresh();
    EXPECT_EQ(names(mine), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));

    // The id of a row deleted elsewhere may come back for a new row; it is listed once.
    theirs.moveLast();
    ASSERT_TRUE(theirs.deleteCurrent()); // C, the highest id
    mine.addNew();
    mine.setValue(0, QStringLiteral("D"));
    ASSERT_TRUE(mine.update());
    EXPECT_EQ(names(mine), (QStringList{QStringLiteral("B"), QStringLiteral("D")}));
    theirs.refresh();
    EXPECT_EQ(names(theirs), (QStringList{QStringLiteral("B"), QStringLiteral("D")}));
}

TEST_F(DataSourceTest, LargeResultsReadTheRightRowsInAnyOrder)
{
    QStringList all;
    for (int i = 0; i < 2500; ++i)
        all << QStringLiteral("客户%1").arg(i);
    addCustomers(all);
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    ASSERT_EQ(ds.recordCount(), 2500);
    std::mt19937 random(7);
    for (int k = 0; k < 3000; ++k) {
        const int row = int(random() % 2500);
        ASSERT_EQ(ds.textAt(row, 0), all.at(row)) << row;
    }
    ds.setCurrentRow(1234);
    ds.setValue(0, QStringLiteral("改名"));
    ASSERT_TRUE(ds.update());
    EXPECT_EQ(ds.textAt(1234, 0), QStringLiteral("改名"));
    ds.moveFirst();
    EXPECT_EQ(ds.textAt(1234, 0), QStringLiteral("改名"));
    EXPECT_EQ(ds.textAt(1235, 0), all.at(1235));
}

TEST_F(DataSourceTest, ResultsWithGapsReadOnlyTheirOwnRows)
{
    // Every third customer matches "甲" (a result whose rows lie close together, with rows of
    // the table between them), every 500th matches "乙" (a result spread thinly over the table).
    QStringList all;
    for (int i = 0; i < 3000; ++i)
        all << QStringLiteral("%1客户%2").arg(i % 500 == 0 ? QStringLiteral("乙") : i % 3 == 0 ? QStringLiteral("甲") : QStringLiteral("丙")).arg(i);
    addCustomers(all);

    for (const QString &key : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        QStringList expected;
        for (const QString &n : all)
            if (n.startsWith(key))
                expected << n;
        DataSource ds(m_conn);
        ds.setStatement(statements::customersNameContains(key));
        ASSERT_TRUE(ds.refresh());
        EXPECT_EQ(names(ds), expected) << key.toStdString();
    }

    // A row deleted through another data source reads as empty, its neighbours as before.
    DataSource reader(m_conn);
    reader.setStatement(statements::customersNameContains(QStringLiteral("甲")));
    reader.refresh();
    DataSource writer(m_conn);
    writer.setStatement(statements::customersNameContains(QStringLiteral("甲")));
    writer.refresh();
    writer.setCurrentRow(100);
    ASSERT_TRUE(writer.deleteCurrent());
    EXPECT_EQ(reader.textAt(99, 0), writer.textAt(99, 0));
    EXPECT_EQ(reader.textAt(100, 0), QString());
    EXPECT_FALSE(reader.textAt(101, 0).isEmpty());
}

// A history sorted by a column of the query window: its rows are read, found by bookmark and
// deleted the same as in the stored order.
TEST_F(DataSourceTest, ResultsInAnOrderOfTheirOwnBehaveAsStoredOnes)
{
    {
        DataSource add(m_conn);
        add.setStatement(statements::historyForAppending());
        add.refresh();
        Transaction t(m_conn);
        for (int i = 0; i < 300; ++i) {
            add.addNew();
            // Payees in an order unlike the rowids': P299 down to P200, then P099 down to P000 twice.
            const int name = i < 100 ? 299 - i : (299 - i) / 2;
            const QString payee = QStringLiteral("P%1").arg(name, 3, 10, QLatin1Char('0'));
            ASSERT_TRUE(add.setValue(QStringLiteral("skrmc"), payee));
            ASSERT_TRUE(add.update());
        }
        ASSERT_TRUE(t.commit());
    }
    DataSource ds(m_conn);
    ds.setStatement(statements::historyOrderedBy(statements::history(), QStringLiteral("skrmc"), false));
    ASSERT_TRUE(ds.refresh()) << ds.errorText().toStdString();
    ASSERT_EQ(ds.recordCount(), 300);
    const int payee = ds.columnIndex(QStringLiteral("skrmc"));
    const int xh = ds.columnIndex(QStringLiteral("xh"));
    std::mt19937 random(3);
    // Read in any order, the rows stand sorted: P000 ... P099 twice each, then P200 ... P299.
    for (int k = 0; k < 400; ++k) {
        const int row = int(random() % 300);
        const int name = row < 200 ? row / 2 : row;
        ASSERT_EQ(ds.textAt(row, payee), QStringLiteral("P%1").arg(name, 3, 10, QLatin1Char('0'))) << row;
    }
    // Equal payees in their stored order.
    for (int row = 1; row < 300; ++row) {
        if (ds.textAt(row - 1, payee) == ds.textAt(row, payee)) {
            ASSERT_LT(ds.textAt(row - 1, xh).toInt(), ds.textAt(row, xh).toInt()) << row;
        }
    }

    ds.setCurrentRow(200);
    const Bookmark mark = ds.bookmark();
    const QString marked = ds.text(QStringLiteral("xh"));
    ds.moveFirst();
    ASSERT_TRUE(ds.setBookmark(mark));
    EXPECT_EQ(ds.currentRow(), 200);
    // The delete sequence: the row after the deleted one becomes current, in this order.
    ds.setCurrentRow(10);
    const QString after = ds.textAt(11, xh);
    deleteAsTheWindowsDo(ds);
    EXPECT_EQ(ds.text(QStringLiteral("xh")), after);
    EXPECT_EQ(ds.recordCount(), 299);
    ASSERT_TRUE(ds.setBookmark(mark));
    EXPECT_EQ(ds.text(QStringLiteral("xh")), marked);
    // A new row goes last, whatever its place in the order would be.
    ds.addNew();
    ASSERT_TRUE(ds.setValue(QStringLiteral("skrmc"), QStringLiteral("A000")));
    ASSERT_TRUE(ds.update());
    EXPECT_EQ(ds.currentRow(), 299);
    EXPECT_EQ(ds.textAt(299, payee), QStringLiteral("A000"));
    ds.refresh();
    EXPECT_EQ(ds.textAt(0, payee), QStringLiteral("A000"));
}

TEST_F(DataSourceTest, WritesOnAClosedConnectionFailWithAReason)
{
    addCustomers({QStringLiteral("A")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    ds.refresh();
    Connection::closeAll();
    ds.setValue(0, QStringLiteral("B"));
    EXPECT_FALSE(ds.update());
    EXPECT_FALSE(ds.errorText().isEmpty());
    EXPECT_FALSE(ds.deleteCurrent());
    ds.cancelUpdate();
    ASSERT_TRUE(Connection::reopenAll());
    ds.refresh();
    EXPECT_EQ(ds.text(0), QStringLiteral("A"));
}

TEST_F(DataSourceTest, GridShowsTheResultAndFollowsTheCurrentRow)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    DataSource ds(m_conn);
    ds.setStatement(statements::customers());
    GridModel grid(ds, {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                        {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                        {QStringLiteral("gsmc"), QStringLiteral("括号"),
                         [](const QVariant &v) { return QStringLiteral("(%1)").arg(v.toString()); }}});
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy current(&grid, &GridModel::currentRowChanged);

    ds.refresh();
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("客户名称"));
    EXPECT_EQ(grid.headerData(1, Qt::Horizontal).toString(), QStringLiteral("账号"));
    EXPECT_EQ(grid.data(grid.index(1, 0)).toString(), QStringLiteral("B"));
    EXPECT_EQ(grid.data(grid.index(1, 1)).toString(), QString());
    EXPECT_EQ(grid.data(grid.index(2, 2)).toString(), QStringLiteral("(C)"));
    EXPECT_EQ(grid.currentIndex(), grid.index(0, 0));

    ds.moveLast();
    ASSERT_FALSE(current.isEmpty());
    EXPECT_EQ(current.last().at(0).toInt(), 2);
    EXPECT_EQ(grid.currentIndex(), grid.index(2, 0));

    grid.setCurrentIndex(grid.index(1, 1)); // a click
    EXPECT_EQ(ds.text(0), QStringLiteral("B"));
    EXPECT_EQ(grid.currentRow(), 1);

    deleteAsTheWindowsDo(ds);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.data(grid.index(1, 0)).toString(), QStringLiteral("C"));
    EXPECT_EQ(grid.currentRow(), 1);

    ds.addNew();
    ds.setValue(0, QStringLiteral("D"));
    ds.update();
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.data(grid.index(2, 0)).toString(), QStringLiteral("D"));
    ds.setValue(0, QStringLiteral("E"));
    ds.update();
    EXPECT_EQ(grid.data(grid.index(2, 0)).toString(), QStringLiteral("E"));

    ds.setStatement(statements::customersNamed(QStringLiteral("无此客户")));
    ds.refresh();
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_FALSE(grid.currentIndex().isValid());
}

TEST_F(DataSourceTest, GridShowsHistoryDatesInTheChosenForm)
{
    DataSource ds(m_conn);
    ds.setStatement(statements::history());
    ds.refresh();
    ds.addNew();
    ds.setValue(QStringLiteral("dyrq"), QDate(2010, 4, 14));
    ds.update();
    GridModel grid(ds, {{QStringLiteral("dyrq"), QStringLiteral("打印日期"), [](const QVariant &v) {
                             return v.toDate().toString(QStringLiteral("yyyy年M月d日"));
                         }},
                        {QStringLiteral("fkrq"), QStringLiteral("付款日期"), {}},
                        {QStringLiteral("dyrq"), QStringLiteral("原样"), {}}});
    ds.refresh();
    EXPECT_EQ(grid.data(grid.index(0, 0)).toString(), QStringLiteral("2010年4月14日"));
    EXPECT_EQ(grid.data(grid.index(0, 1)).toString(), QString());
    EXPECT_EQ(grid.data(grid.index(0, 2)).toString(), QStringLiteral("2010-04-14"));
}

} // namespace

// A window holds its data source as a member and the grid model as a child: the source goes
// first, and the view still asks the model while it is torn down.
TEST_F(DataSourceTest, GridOutlivingItsDataSourceIsEmpty)
{
    addCustomers({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    auto *ds = new DataSource(m_conn);
    ds->setStatement(statements::customers());
    ds->refresh();
    GridModel grid(*ds, {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}}});
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    ASSERT_EQ(grid.rowCount(), 3);
    delete ds;
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.currentRow(), -1);
    EXPECT_FALSE(grid.currentIndex().isValid());
    grid.setCurrentIndex(grid.index(0, 0)); // nothing to move
}
