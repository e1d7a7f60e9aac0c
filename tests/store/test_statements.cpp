#include "storetest.h"

#include "rawdatabase.h"

#include "store/connection.h"
#include "store/datasource.h"
#include "store/statements.h"

#include <QDate>

namespace {

using namespace store;
namespace st = store::statements;

// Customers and history rows chosen so that quotes, like wildcards, CJK and letter case each
// have a row that must match and a row that must not.
class StatementsTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(m_conn.isOpen());
        DataSource ds(m_conn);
        ds.setStatement(st::customers());
        ds.refresh();
        ASSERT_TRUE(ds.deleteCurrent()); // the sample customer
        const QList<QPair<const char *, const char *>> customers{
            {"上海华东建材有限公司", "SHHDJCYXGS"},
            {"O'Brien Trading", "O'BRIEN TRADING"},
            {"100%纯净水公司", "100%CJSGS"},
            {"100元店", "100YD"},
            {"A_B 公司", "A_B GS"},
            {"AXB 公司", "AXB GS"},
            {"abc贸易", "ABCMY"},
            {"路径\\公司", "LJ\\GS"},
            {"华东上海分公司", "HDSHFGS"},
        };
        for (const auto &c : customers) {
            ds.addNew();
            ds.setValue(0, QString::fromUtf8(c.first));
            ds.setValue(5, QString::fromUtf8(c.second));
            ASSERT_TRUE(ds.update());
        }
        ds.setStatement(st::history());
        ds.refresh();
        const QList<QPair<const char *, const char *>> history{
            {"上海华东建材有限公司", "2024-03-01"}, {"上海华东建材有限公司", "2024-03-02"},
            {"O'Brien Trading", "2024-03-02"},     {"100%纯净水公司", "2024-03-02"},
            {"100元店", "2024-03-03"},             {"华东上海分公司", "2024-02-29"},
        };
        for (const auto &h : history) {
            ds.addNew();
            ds.setValue(QStringLiteral("skrmc"), QString::fromUtf8(h.first));
            ds.setValue(QStringLiteral("fkrq"), QString::fromLatin1(h.second));
            ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();
        }
    }

    // The rows a statement finds: the given column of each, in result order.
    QStringList found(const Statement &s, const char *column = "gsmc")
    {
        DataSource ds(m_conn);
        ds.setStatement(s);
        EXPECT_TRUE(ds.refresh()) << ds.errorText().toStdString();
        QStringList out;
        for (ds.moveFirst(); !ds.eof(); ds.moveNext())
            out << ds.text(QString::fromLatin1(column));
        return out;
    }

    QStringList payees(const Statement &s) { return found(s, "skrmc"); }

    static QStringList list(std::initializer_list<const char *> items)
    {
        QStringList out;
        for (const char *i : items)
            out << QString::fromUtf8(i);
        return out;
    }

    Connection m_conn;
};

TEST_F(StatementsTest, AllCustomersInStoredOrder)
{
    const QStringList all = found(st::customers());
    ASSERT_EQ(all.size(), 9);
    EXPECT_EQ(all.first(), QStringLiteral("上海华东建材有限公司"));
    EXPECT_EQ(all.last(), QStringLiteral("华东上海分公司"));
}

TEST_F(StatementsTest, CustomerNamedMatchesTheWholeNameExactly)
{
    EXPECT_EQ(found(st::customersNamed(QStringLiteral("O'Brien Trading"))),
              list({"O'Brien Trading"}));
    EXPECT_EQ(found(st::customersNamed(QStringLiteral("上海华东建材有限公司"))),
              list({"上海华东建材有限公司"}));
    EXPECT_EQ(found(st::customersNamed(QStringLiteral("上海华东"))), QStringList());
    EXPECT_EQ(found(st::customersNamed(QStringLiteral("上海华东建材有限公司 "))), QStringList());
    EXPECT_EQ(found(st::customersNamed(QStringLiteral("100%"))), QStringList());
    EXPECT_EQ(found(st::customersNamed(QString())), QStringList());
}

TEST_F(StatementsTest, CustomersBeginningWithTheName)
{
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("上海"))),
              list({"上海华东建材有限公司"}));
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("o'brien"))),
              list({"O'Brien Trading"}));
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("ABC"))), list({"abc贸易"}));
    // Wildcards typed by the user are plain characters.
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("100%"))), list({"100%纯净水公司"}));
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("%"))), QStringList());
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("A_B"))), list({"A_B 公司"}));
    EXPECT_EQ(found(st::customersBeginningWith(QStringLiteral("路径\\"))), list({"路径\\公司"}));
    EXPECT_EQ(found(st::customersBeginningWith(QString())).size(), 9);
}

TEST_F(StatementsTest, CustomersWhoseNameContainsTheText)
{
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("华东"))),
              list({"上海华东建材有限公司", "华东上海分公司"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("BRIEN"))), list({"O'Brien Trading"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("'"))), list({"O'Brien Trading"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("%"))), list({"100%纯净水公司"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("_"))), list({"A_B 公司"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("\\"))), list({"路径\\公司"}));
    EXPECT_EQ(found(st::customersNameContains(QStringLiteral("不存在"))), QStringList());
}

TEST_F(StatementsTest, CustomersWhoseInitialsContainTheText)
{
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("shhd"))),
              list({"上海华东建材有限公司"}));
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("HdSh"))),
              list({"华东上海分公司"}));
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("gs"))),
              list({"上海华东建材有限公司", "100%纯净水公司", "A_B 公司", "AXB 公司",
                    "路径\\公司", "华东上海分公司"}));
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("a_b"))), list({"A_B 公司"}));
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("0%c"))), list({"100%纯净水公司"}));
    EXPECT_EQ(found(st::customersInitialsContain(QStringLiteral("o'b"))), list({"O'Brien Trading"}));
}

// The interval rule's initials are found as like '%text%' found them, whatever the text: the
// sqlite3 program, which knows nothing of the program's own search, runs the like.
TEST_F(StatementsTest, InitialsAreFoundAsLikeFoundThem)
{
    {
        DataSource ds(m_conn);
        ds.setStatement(st::customers());
        ds.refresh();
        // Initials another copy of the program may have stored: small letters, symbols, CJK.
        for (const char *stored : {"abc gs", "€5元", "Ａ全角", "X\\Y"}) {
            ds.addNew();
            ds.setValue(0, QString::fromUtf8(stored));
            ds.setValue(5, QString::fromUtf8(stored));
            ASSERT_TRUE(ds.update());
        }
    }
    for (const char *typed : {"shhd", "HdSh", "gs", "GS", "a_b", "a_", "_", "%", "0%c", "100%", "o'b", "'",
                              "\\", "x\\y", "\\y", "€", "元", "Ａ", "ａ", " ", "c g", "", "zzz"}) {
        SCOPED_TRACE(typed);
        const QString t = QString::fromUtf8(typed);
        const QString like = QStringLiteral("SELECT gsmc FROM khb WHERE gsmczmjc LIKE '%%1%' ESCAPE '\\' ORDER BY rowid")
                                 .arg(st::likeLiteral(t).replace(QLatin1Char('\''), QStringLiteral("''")));
        const QString expected = sqlite3(databasePath(), like);
        ASSERT_FALSE(expected.startsWith(QStringLiteral("sqlite3 failed"))) << expected.toStdString();
        EXPECT_EQ(found(st::customersInitialsContain(t)).join(QLatin1Char('\n')), expected);
    }
}

TEST_F(StatementsTest, PurposesAndTheSingleRowTables)
{
    EXPECT_EQ(found(st::purposes(), "yt").size(), 5);
    EXPECT_EQ(found(st::purposeNamed(QStringLiteral("工资")), "yt"), list({"工资"}));
    EXPECT_EQ(found(st::purposeNamed(QStringLiteral("工")), "yt"), QStringList());
    EXPECT_EQ(found(st::purposeNamed(QStringLiteral("%")), "yt"), QStringList());
    {
        DataSource ds(m_conn);
        ds.setStatement(st::purposes());
        ds.refresh();
        ds.addNew();
        ds.setValue(0, QStringLiteral("It's 50%"));
        ASSERT_TRUE(ds.update());
    }
    EXPECT_EQ(found(st::purposeNamed(QStringLiteral("It's 50%")), "yt"), list({"It's 50%"}));
    EXPECT_EQ(found(st::ownCompany()).size(), 1);
    EXPECT_EQ(found(st::printOffsets(), "djpzup"), list({"0"}));
    EXPECT_EQ(found(st::generalLayout(), "zhtl"), list({"0"}));
}

TEST_F(StatementsTest, HistoryByPayeeAndDateRangeIncludesBothEnds)
{
    const QDate d1(2024, 3, 1), d2(2024, 3, 2), d3(2024, 3, 3);
    EXPECT_EQ(payees(st::history()).size(), 6);
    // One day: that day's rows, whoever the payee.
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QString(), d2, d2)),
              list({"上海华东建材有限公司", "O'Brien Trading", "100%纯净水公司"}));
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("华东"), d1, d2)),
              list({"上海华东建材有限公司", "上海华东建材有限公司"}));
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("华东"), QDate(2024, 2, 29), d1)),
              list({"上海华东建材有限公司", "华东上海分公司"}));
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("o'brien"), d1, d3)),
              list({"O'Brien Trading"}));
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("100%"), d1, d3)),
              list({"100%纯净水公司"}));
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("100"), d3, d3)), list({"100元店"}));
    // A start after the end finds nothing, as does an invalid date.
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QString(), d3, d1)), QStringList());
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QString(), QDate(), d3)), QStringList());
}

// The payee search finds its rows by reading the distinct names first or the date range first,
// whichever is cheaper on the data; both ways and the choice must find exactly the rows a plain
// "payee contains the text and date in range" finds, as sqlite3 reads them.
TEST_F(StatementsTest, HistoryPayeeSearchFindsTheSameRowsEveryWay)
{
    {
        // A stretch of history where almost every row has a payee of its own.
        DataSource add(m_conn);
        add.setStatement(st::historyForAppending());
        add.refresh();
        Transaction t(m_conn);
        for (int i = 0; i < 400; ++i) {
            add.addNew();
            add.setValue(QStringLiteral("skrmc"), QStringLiteral("华东%1号_店%2").arg(i % 97).arg(i % 3 ? "" : "%"));
            add.setValue(QStringLiteral("fkrq"), QDate(2023, 1, 1).addDays(i));
            ASSERT_TRUE(add.update());
        }
        ASSERT_TRUE(t.commit());
    }
    const struct {
        const char *name;
        QDate from, to;
    } searches[] = {
        {"华东", QDate(2024, 3, 1), QDate(2024, 3, 2)},   {"华东", QDate(2000, 1, 1), QDate(2030, 1, 1)},
        {"1号", QDate(2023, 2, 1), QDate(2023, 2, 28)},    {"_店%", QDate(2023, 1, 1), QDate(2023, 12, 31)},
        {"o'brien", QDate(2024, 3, 1), QDate(2024, 3, 3)}, {"100%", QDate(2000, 1, 1), QDate(2030, 1, 1)},
        {"店", QDate(2023, 6, 1), QDate(2023, 6, 1)},       {"无此人", QDate(2000, 1, 1), QDate(2030, 1, 1)},
        {"华东", QDate(2025, 1, 1), QDate(2025, 12, 31)},  {"华东", QDate(2024, 3, 3), QDate(2024, 3, 1)},
    };
    for (const auto &search : searches) {
        const QString name = QString::fromUtf8(search.name);
        QString literal = st::likeLiteral(name);
        literal.replace(QLatin1Char('\''), QStringLiteral("''"));
        const QString expected = sqlite3(databasePath(), QStringLiteral("SELECT group_concat(rowid) FROM (SELECT rowid FROM dyb "
                                                                         "WHERE skrmc LIKE '%%1%' ESCAPE '\\' AND fkrq "
                                                                         "BETWEEN '%2' AND '%3' ORDER BY rowid)")
                                                              .arg(literal, search.from.toString(Qt::ISODate),
                                                                   search.to.toString(Qt::ISODate)));
        for (const st::PayeePlan plan : {st::PayeePlan::NamesFirst, st::PayeePlan::DatesFirst, st::PayeePlan::Cheaper}) {
            DataSource ds(m_conn);
            ds.setStatement(st::historyByPayeeAndDates(name, search.from, search.to, plan));
            ASSERT_TRUE(ds.refresh()) << ds.errorText().toStdString();
            QStringList rowids;
            for (int r = 0; r < ds.recordCount(); ++r)
                rowids << ds.textAt(r, ds.columnIndex(QStringLiteral("xh")));
            EXPECT_EQ(rowids.join(QLatin1Char(',')), expected) << search.name << " plan " << int(plan);
        }
    }
}

TEST_F(StatementsTest, HistoryWhosePayeeBeginsWithTheName)
{
    EXPECT_EQ(payees(st::historyPayeeBeginsWith(QStringLiteral("上海华东建材有限公司"))),
              list({"上海华东建材有限公司", "上海华东建材有限公司"}));
    EXPECT_EQ(payees(st::historyPayeeBeginsWith(QStringLiteral("华东"))), list({"华东上海分公司"}));
    EXPECT_EQ(payees(st::historyPayeeBeginsWith(QStringLiteral("O'B"))), list({"O'Brien Trading"}));
    EXPECT_EQ(payees(st::historyPayeeBeginsWith(QStringLiteral("100%"))), list({"100%纯净水公司"}));
    EXPECT_EQ(payees(st::historyPayeeBeginsWith(QStringLiteral("_"))), QStringList());
}

TEST_F(StatementsTest, HistorySearchFollowsRenamedAndDeletedPayees)
{
    const QDate from(2024, 1, 1), to(2024, 12, 31);
    DataSource ds(m_conn);
    ds.setStatement(st::historyByPayeeAndDates(QStringLiteral("元店"), from, to));
    ASSERT_TRUE(ds.refresh());
    ASSERT_EQ(ds.recordCount(), 1);
    // Renamed: found under the new name only.
    ASSERT_TRUE(ds.setValue(QStringLiteral("skrmc"), QStringLiteral("改名后的商店")));
    ASSERT_TRUE(ds.update());
    EXPECT_TRUE(payees(st::historyByPayeeAndDates(QStringLiteral("元店"), from, to)).isEmpty());
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("改名后"), from, to)), list({"改名后的商店"}));
    // Deleted: nothing found, and a new row under the old name is found again.
    ASSERT_TRUE(ds.deleteCurrent());
    EXPECT_TRUE(payees(st::historyByPayeeAndDates(QStringLiteral("改名后"), from, to)).isEmpty());
    DataSource add(m_conn);
    add.setStatement(st::historyForAppending());
    add.refresh();
    add.addNew();
    ASSERT_TRUE(add.setValue(QStringLiteral("skrmc"), QStringLiteral("改名后的商店")));
    ASSERT_TRUE(add.setValue(QStringLiteral("fkrq"), QStringLiteral("2024/5/6")));
    ASSERT_TRUE(add.update());
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QStringLiteral("改名后"), from, to)), list({"改名后的商店"}));
    // A row without a payee is never found, as with a plain like.
    add.addNew();
    ASSERT_TRUE(add.setValue(QStringLiteral("fkrq"), QStringLiteral("2024/5/6")));
    ASSERT_TRUE(add.update());
    EXPECT_EQ(payees(st::historyByPayeeAndDates(QString(), QDate(2024, 5, 6), QDate(2024, 5, 6))).size(), 1);
}

TEST_F(StatementsTest, HistoryForAppendingReadsNothingAndStillAppends)
{
    DataSource ds(m_conn);
    ds.setStatement(st::historyForAppending());
    ASSERT_TRUE(ds.refresh());
    EXPECT_EQ(ds.recordCount(), 0);
    ds.addNew();
    ASSERT_TRUE(ds.setValue(10, QStringLiteral("新收款人")));
    ASSERT_TRUE(ds.setValue(2, QStringLiteral("2024/3/4")));
    ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();
    ds.addNew();
    ASSERT_TRUE(ds.setValue(10, QStringLiteral("又一个")));
    ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();
    const QStringList all = payees(st::history());
    ASSERT_EQ(all.size(), 8);
    EXPECT_EQ(all.mid(6), list({"新收款人", "又一个"}));
    EXPECT_EQ(found(st::history(), "fkrq").at(6), QStringLiteral("2024-03-04"));
}

TEST(LikeLiteral, EscapesTheWildcardsAndTheEscapeCharacter)
{
    EXPECT_EQ(st::likeLiteral(QStringLiteral("a%b_c\\d'e")), QStringLiteral("a\\%b\\_c\\\\d'e"));
    EXPECT_EQ(st::likeLiteral(QStringLiteral("中文")), QStringLiteral("中文"));
}

} // namespace
