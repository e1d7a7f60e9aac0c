// The query window's history searches, orders and amount totals on a generated history: every
// result is compared with what the sqlite3 program finds by plain SQL, which knows nothing of
// the program's plans, its amount reading or its forms of a statement.

#include "storetest.h"

#include "rawdatabase.h"

#include "store/connection.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/statements.h"

#include <QDate>
#include <QSqlQuery>

#include <optional>
#include <random>

namespace {

using namespace store;
namespace st = store::statements;

// The amount texts of the history, as typed: amounts a voucher could print, and texts an old
// or hand-made row may hold that are no amount.
const char *const kAmounts[] = {"1234.50", "88", "0.5", " 12.05", "99999999.99", "7.1", "300.00", "-20.00",
                                "1,000.00", "12abc", "", "abc", "1.234", "无"};
const char *const kTypes[] = {"支票", "进账单", "建行电汇", "汇款凭证", "农行申请书", "交款单", "旧凭证"};
const char *const kPayees[] = {"上海华东建材有限公司", "O'Brien Trading", "100%纯净水公司", "A_B 公司",
                               "北京蓝石软件",         "华东上海分公司",  "路径\\公司"};

// What sqlite3 reads as the amount in fen of the texts above: an optional sign, digits and at
// most two decimals after blanks; NULL otherwise.
const QString kSqliteFen = QStringLiteral(
    "(CASE WHEN ltrim(fkje) GLOB '[0-9]*' OR ltrim(fkje) GLOB '-[0-9]*' THEN "
    "CASE WHEN substr(ltrim(fkje), 2) GLOB '*[^0-9.]*' OR ltrim(fkje) GLOB '*.[0-9][0-9][0-9]*' THEN NULL "
    "ELSE CAST(round(CAST(fkje AS REAL) * 100) AS INTEGER) END END)");

class HistorySearchTest : public StoreTest {
protected:
    static constexpr int kRows = 5000;
    static constexpr int kRowsPerDay = 5;
    const QDate kFirst{2021, 1, 1};

    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(m_conn.isOpen());
        // Written straight into the table: it stands for years of printing.
        std::mt19937 random(2024);
        Transaction t(m_conn);
        QSqlQuery q(m_conn.database());
        ASSERT_TRUE(
            q.prepare(QStringLiteral("INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, skrmc) VALUES (?,?,?,?,?,?)")));
        for (int i = 0; i < kRows; ++i) {
            const QString day = kFirst.addDays(i / kRowsPerDay).toString(Qt::ISODate);
            q.addBindValue(day);
            q.addBindValue(day);
            q.addBindValue(QString::fromUtf8(kTypes[random() % std::size(kTypes)]));
            q.addBindValue(QString::number(10000000 + random() % 90000));
            const unsigned a = random() % (std::size(kAmounts) + 20);
            // Mostly generated amounts, the listed texts now and then, and a few NULLs.
            const QString amount = QString::number((random() % 10000000) / 100.0, 'f', 2);
            const QVariant generated = a == 0 ? QVariant() : QVariant(amount);
            q.addBindValue(a < 20 ? generated : QVariant(QString::fromUtf8(kAmounts[a - 20])));
            const unsigned p = random() % (std::size(kPayees) + 1);
            q.addBindValue(p < std::size(kPayees) ? QVariant(QString::fromUtf8(kPayees[p])) : QVariant());
            ASSERT_TRUE(q.exec());
        }
        ASSERT_TRUE(t.commit());
    }

    static QString quoted(const QString &text) { return QLatin1Char('\'') + QString(text).replace('\'', "''") + '\''; }
    static QString likeContains(const QString &text) { return quoted('%' + st::likeLiteral(text) + '%'); }

    // The rowids a statement finds, in the order the data source gives them.
    QString rowids(const Statement &s)
    {
        DataSource ds(m_conn);
        ds.setStatement(s);
        EXPECT_TRUE(ds.refresh()) << ds.errorText().toStdString();
        QStringList out;
        const int xh = ds.columnIndex(QStringLiteral("xh"));
        for (int r = 0; r < ds.recordCount(); ++r)
            out << ds.textAt(r, xh);
        return out.join(QLatin1Char(','));
    }

    static QString expectedRowids(const QString &where, const QString &order = QStringLiteral("rowid"))
    {
        return sqlite3(databasePath(), QStringLiteral("SELECT coalesce(group_concat(rowid), '') "
                                                      "FROM (SELECT rowid FROM dyb WHERE %1 ORDER BY %2)")
                                           .arg(where, order));
    }

    Connection m_conn;
};

TEST_F(HistorySearchTest, AmountsAreReadInWholeFen)
{
    const struct {
        const char *text;
        std::optional<qint64> fen;
    } cases[] = {
        {"1234.50", 123450}, {"1234.5", 123450},   {"88", 8800},        {"0.05", 5},         {".5", 50},
        {"5.", 500},         {" 12.05 ", 1205},    {"\t7\n", 700},      {"-20", -2000},      {"+3.10", 310},
        {"-0", 0},           {"1.230", 123},       {"00012.00", 1200},  {"１２３．４５", 12345}, {"１２3.4", 12340},
        {"99999999.99", 9999999999}, {"999999999999999999", std::nullopt}, {"9999999999999999.99", 999999999999999999},
        {"1,000", std::nullopt}, {"12abc", std::nullopt}, {"1.234", std::nullopt}, {"", std::nullopt},
        {" ", std::nullopt},  {".", std::nullopt},  {"-", std::nullopt}, {"- 5", std::nullopt}, {"1.2.3", std::nullopt},
        {"无", std::nullopt}, {"12元", std::nullopt}, {"\x1f" "5", std::nullopt}, {"5\xc2\xa0", 500},
    };
    QSqlQuery q(m_conn.database());
    ASSERT_TRUE(q.prepare(QStringLiteral("SELECT amount_fen(?)")));
    for (const auto &c : cases) {
        q.addBindValue(QString::fromUtf8(c.text));
        ASSERT_TRUE(q.exec() && q.next());
        if (c.fen)
            EXPECT_EQ(q.value(0).toLongLong(), *c.fen) << c.text;
        else
            EXPECT_TRUE(q.value(0).isNull()) << c.text << " gave " << q.value(0).toString().toStdString();
    }
    q.addBindValue(QVariant());
    ASSERT_TRUE(q.exec() && q.next());
    EXPECT_TRUE(q.value(0).isNull());
}

// The searches of the query window. Each condition alone, together, over a narrow range (read
// through the indexes) and over the whole history (read as a scan).
TEST_F(HistorySearchTest, SearchesFindWhatPlainSqlFinds)
{
    const QDate month(2021, 6, 1), monthEnd(2021, 6, 30), all(2000, 1, 1), allEnd(2030, 1, 1);
    const struct {
        const char *payee, *number, *type;
        std::optional<qint64> minFen, maxFen;
        QDate from, to;
        bool anyDate;
    } searches[] = {
        {"华东", "", "", {}, {}, month, monthEnd, false},
        {"", "123", "", {}, {}, month, monthEnd, false},
        {"", "123", "", {}, {}, all, allEnd, false},
        {"", "100123", "", {}, {}, {}, {}, true},
        {"", "", "支票", {}, {}, month, monthEnd, false},
        {"", "", "支票", {}, {}, all, allEnd, false},
        {"", "", "旧凭证", {}, {}, {}, {}, true},
        {"", "", "不存在", {}, {}, {}, {}, true},
        {"", "", "", 123450, 123450, {}, {}, true},
        {"", "", "", 100000, 500000, month, monthEnd, false},
        {"", "", "", {}, 0, {}, {}, true},
        {"", "", "", 9999999999, {}, all, allEnd, false},
        {"华东", "", "进账单", 10000, {}, all, allEnd, false},
        {"o'brien", "5", "", {}, 5000000, month, monthEnd, false},
        {"100%", "", "", {}, {}, {}, {}, true},
        {"_", "", "汇款凭证", {}, {}, {}, {}, true},
        {"路径\\", "", "", {}, {}, all, allEnd, false},
        {"", "", "", {}, {}, {}, {}, true},
        {"", "%", "", {}, {}, {}, {}, true},
        {"华东", "", "", {}, {}, monthEnd, month, false},
    };
    for (const auto &s : searches) {
        st::HistoryFilter f;
        f.payee = QString::fromUtf8(s.payee);
        f.number = QString::fromUtf8(s.number);
        f.type = QString::fromUtf8(s.type);
        f.minFen = s.minFen;
        f.maxFen = s.maxFen;
        f.from = s.from;
        f.to = s.to;
        f.anyDate = s.anyDate;
        QStringList where{QStringLiteral("skrmc LIKE %1 ESCAPE '\\'").arg(likeContains(f.payee))};
        if (!s.anyDate)
            where << QStringLiteral("fkrq BETWEEN '%1' AND '%2'")
                         .arg(s.from.toString(Qt::ISODate), s.to.toString(Qt::ISODate));
        if (!f.number.isEmpty())
            where << QStringLiteral("pzhm LIKE %1 ESCAPE '\\'").arg(likeContains(f.number));
        if (!f.type.isEmpty())
            where << QStringLiteral("pzlx = %1").arg(quoted(f.type));
        if (s.minFen)
            where << QStringLiteral("%1 >= %2").arg(kSqliteFen).arg(*s.minFen);
        if (s.maxFen)
            where << QStringLiteral("%1 <= %2").arg(kSqliteFen).arg(*s.maxFen);
        const QString expected = expectedRowids(where.join(QStringLiteral(" AND ")));
        ASSERT_FALSE(expected.startsWith(QStringLiteral("sqlite3 failed"))) << expected.toStdString();
        EXPECT_EQ(rowids(st::historySearch(f)), expected) << where.join(QStringLiteral(" AND ")).toStdString();
    }
}

// Over a narrow range the rows are sought in an index; over a wide one the table is read in
// order, since fetching each row an index names costs about ten times as much per row.
TEST_F(HistorySearchTest, WideRangesReadTheTableNarrowOnesAnIndex)
{
    const auto plan = [this](const st::HistoryFilter &f) {
        const Statement form = st::cheaperForm(st::historySearch(f), m_conn);
        QSqlQuery q(m_conn.database());
        q.prepare(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid FROM dyb WHERE ") + form.condition());
        for (const QVariant &v : form.values())
            q.addBindValue(v);
        QStringList steps;
        if (q.exec())
            while (q.next())
                steps << q.value(3).toString();
        return steps.join(QLatin1Char(';'));
    };
    for (const char *payee : {"", "华东"}) {
        st::HistoryFilter f;
        f.payee = QString::fromUtf8(payee);
        f.type = QStringLiteral("支票");
        f.from = QDate(2021, 6, 1);
        f.to = QDate(2021, 6, 7);
        EXPECT_TRUE(plan(f).contains(QLatin1String("SEARCH dyb USING"))) << payee << ": " << plan(f).toStdString();
        f.to = QDate(2023, 12, 31);
        EXPECT_EQ(plan(f), QStringLiteral("SCAN dyb")) << payee;
    }
}

// A name and dates alone are the search the window always had, with its own plans.
TEST_F(HistorySearchTest, NameAndDatesAloneAreThePayeeSearch)
{
    st::HistoryFilter f;
    f.payee = QStringLiteral("华东");
    f.from = QDate(2021, 3, 1);
    f.to = QDate(2021, 9, 30);
    EXPECT_EQ(st::historySearch(f), st::historyByPayeeAndDates(f.payee, f.from, f.to));
}

TEST_F(HistorySearchTest, OrdersAreThoseOfPlainSql)
{
    st::HistoryFilter narrow;
    narrow.payee = QStringLiteral("公司");
    narrow.from = QDate(2021, 2, 1);
    narrow.to = QDate(2021, 4, 30);
    const QString narrowWhere = QStringLiteral("skrmc LIKE '%公司%' AND fkrq BETWEEN '2021-02-01' AND '2021-04-30'");
    const struct {
        const char *column;
        QString sqlite; // the order as sqlite3 writes it
    } orders[] = {
        {"fkrq", QStringLiteral("fkrq")},   {"skrmc", QStringLiteral("skrmc")}, {"pzhm", QStringLiteral("pzhm")},
        {"pzlx", QStringLiteral("pzlx")},   {"fkje", kSqliteFen},              {"FKJE", kSqliteFen},
        {"dyrq", QStringLiteral("dyrq")},   {"xh", QStringLiteral("xh")},
    };
    for (const auto &o : orders) {
        for (const bool descending : {false, true}) {
            const QString order =
                o.sqlite + (descending ? QStringLiteral(" DESC") : QString()) + QStringLiteral(", rowid");
            const QString column = QString::fromLatin1(o.column);
            EXPECT_EQ(rowids(st::historyOrderedBy(st::history(), column, descending)),
                      expectedRowids(QStringLiteral("1"), order))
                << o.column << (descending ? " desc" : "");
            EXPECT_EQ(rowids(st::historyOrderedBy(st::historySearch(narrow), column, descending)),
                      expectedRowids(narrowWhere, order))
                << o.column << (descending ? " desc" : "") << " narrow";
        }
    }
    // Not a column of the history: the stored order.
    EXPECT_EQ(rowids(st::historyOrderedBy(st::history(), QStringLiteral("fkje; DROP TABLE dyb"), false)),
              expectedRowids(QStringLiteral("1")));
}

TEST_F(HistorySearchTest, TotalsAreOneSumOfTheRowsFound)
{
    st::HistoryFilter month;
    month.from = QDate(2021, 8, 1);
    month.to = QDate(2021, 8, 31);
    st::HistoryFilter cheques = month;
    cheques.type = QStringLiteral("支票");
    cheques.anyDate = true;
    st::HistoryFilter payee;
    payee.payee = QStringLiteral("华东");
    payee.from = QDate(2000, 1, 1);
    payee.to = QDate(2030, 1, 1);
    st::HistoryFilter none = month;
    none.type = QStringLiteral("不存在");
    const struct {
        Statement statement;
        QString where;
    } cases[] = {
        {st::history(), QStringLiteral("1")},
        {st::historySearch(month), QStringLiteral("skrmc IS NOT NULL AND fkrq BETWEEN '2021-08-01' AND '2021-08-31'")},
        {st::historySearch(cheques), QStringLiteral("skrmc IS NOT NULL AND pzlx = '支票'")},
        {st::historyOrderedBy(st::historySearch(payee), QStringLiteral("fkje"), true),
         QStringLiteral("skrmc LIKE '%华东%'")},
        {st::historySearch(none), QStringLiteral("0")},
    };
    for (const auto &c : cases) {
        const QString expected = sqlite3(databasePath(), QStringLiteral("SELECT count(*), coalesce(sum(%1), 0), "
                                                                        "count(*) - count(%1) FROM dyb WHERE %2")
                                                             .arg(kSqliteFen, c.where));
        const st::AmountTotal total = st::historyAmountTotal(c.statement, m_conn);
        ASSERT_TRUE(total.ok) << total.error.toStdString();
        EXPECT_EQ(QStringLiteral("%1|%2|%3").arg(total.rows).arg(total.fen).arg(total.unreadable), expected)
            << c.where.toStdString();
    }
    EXPECT_FALSE(st::historyAmountTotal(st::customers(), m_conn).ok);
}

} // namespace
