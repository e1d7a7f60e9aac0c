#include "storetest.h"

#include "store/connection.h"
#include "store/rowinserter.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

using namespace store;

class RowInserterTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(m_conn.isOpen()) << m_conn.errorText().toStdString();
        QSqlQuery q(m_conn.database());
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE t (a TEXT UNIQUE, b TEXT)")));
    }

    // Each row as sqlite3 gives it back: a NULL shown as <null>.
    QStringList rows()
    {
        QStringList out;
        QSqlQuery q(m_conn.database());
        q.exec(QStringLiteral("SELECT a, b, typeof(b) FROM t ORDER BY rowid"));
        while (q.next())
            out << q.value(0).toString() + QLatin1Char('|')
                    + (q.value(2).toString() == QLatin1String("null") ? QStringLiteral("<null>") : q.value(1).toString());
        return out;
    }

    Connection m_conn;
};

TEST_F(RowInserterTest, storesTextsAsGivenAndEmptyAsNull)
{
    RowInserter insert(m_conn, QStringLiteral("INSERT INTO t (a, b) VALUES (?, ?)"), 2);
    ASSERT_TRUE(insert.isValid()) << insert.errorText().toStdString();
    const QString table[][2] = {
        {QStringLiteral("蓝石贸易有限公司"), QStringLiteral("6222 0000 1111")},
        {QStringLiteral("𠀀𪚥 (beyond the basic plane)"), QString()},
        {QStringLiteral("empty text"), QStringLiteral("")},
        {QStringLiteral("quote ' and \" and ; DROP TABLE t"), QString::fromUtf16(u"a\0b", 3)},
    };
    for (const auto &row : table)
        ASSERT_TRUE(insert.insert(row)) << insert.errorText().toStdString();
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("蓝石贸易有限公司|6222 0000 1111"),
                                   QStringLiteral("𠀀𪚥 (beyond the basic plane)|<null>"),
                                   QStringLiteral("empty text|<null>"),
                                   QStringLiteral("quote ' and \" and ; DROP TABLE t|") + QString::fromUtf16(u"a\0b", 3)}));
}

TEST_F(RowInserterTest, aRefusedRowIsReportedAndTheNextStillGoesIn)
{
    RowInserter insert(m_conn, QStringLiteral("INSERT INTO t (a, b) VALUES (?, ?)"), 2);
    const QString first[] = {QStringLiteral("甲"), QStringLiteral("1")};
    const QString again[] = {QStringLiteral("甲"), QStringLiteral("2")};
    const QString other[] = {QStringLiteral("乙"), QStringLiteral("3")};
    ASSERT_TRUE(insert.insert(first));
    EXPECT_FALSE(insert.insert(again));
    EXPECT_TRUE(insert.errorText().contains(QLatin1String("UNIQUE"))) << insert.errorText().toStdString();
    EXPECT_TRUE(insert.insert(other)) << insert.errorText().toStdString();
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("甲|1"), QStringLiteral("乙|3")}));
}

TEST_F(RowInserterTest, aStatementThatCannotBePreparedSaysSo)
{
    const struct {
        const char *sql;
        int columns;
    } cases[] = {
        {"INSERT INTO nowhere (a) VALUES (?)", 1},
        {"INSERT INTO t (a, b) VALUES (?, ?)", 3}, // placeholders and columns disagree
    };
    for (const auto &c : cases) {
        RowInserter insert(m_conn, QString::fromLatin1(c.sql), c.columns);
        EXPECT_FALSE(insert.isValid()) << c.sql;
        EXPECT_FALSE(insert.errorText().isEmpty()) << c.sql;
        const QString row[] = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
        EXPECT_FALSE(insert.insert(row)) << c.sql;
    }
    EXPECT_TRUE(rows().isEmpty());
}

} // namespace
