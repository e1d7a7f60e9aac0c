#include "storetest.h"

#include "store/connection.h"
#include "store/numberbooks.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

using namespace store;

const HistoryKey kCheques{QStringLiteral("支票"), QStringLiteral("fkrzhh")};
const QString kAccount = QStringLiteral("0200001009014412345");

class NumberBookTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(m_conn.isOpen());
    }
    // A cheque of the history with this number, from this account.
    void printed(const QString &number, const QString &account = kAccount, const QString &type = QStringLiteral("支票"))
    {
        QSqlQuery q(m_conn.database());
        q.prepare(QStringLiteral("INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, fkrzhh) VALUES ('2026-12-09', "
                                 "'2026-12-09', ?, ?, '1', ?)"));
        q.addBindValue(type);
        q.addBindValue(number);
        q.addBindValue(account);
        ASSERT_TRUE(q.exec());
    }
    NumberBook book(const char *first, const char *last)
    {
        NumberBook b{0, QStringLiteral("zpdy"), kAccount, QString::fromLatin1(first), QString::fromLatin1(last)};
        QString error;
        EXPECT_TRUE(addNumberBook(m_conn, &b, &error)) << error.toStdString();
        return b;
    }
    Connection m_conn;
};

TEST_F(NumberBookTest, BooksAreCheckedBeforeTheyAreKept)
{
    const QList<NumberBook> others = {{1, QStringLiteral("zpdy"), kAccount, QStringLiteral("10203001"), QStringLiteral("10203025")}};
    const struct {
        const char *first, *last, *account, *kind;
        const char *says; // empty: accepted
    } cases[] = {
        {"10203026", "10203050", "0200001009014412345", "zpdy", ""},
        {"0000000000000001", "0000000000000100", "0200001009014412345", "zpdy", ""}, // 16 digits, zeros kept
        {"10203025", "10203030", "0200001009014412345", "jhdhpz", ""},           // another kind
        {"10203025", "10203030", "6222", "zpdy", ""},                             // another account
        {"10203020", "10203030", "0200001009014412345", "zpdy", "重叠"},
        {"10203030", "10203026", "0200001009014412345", "zpdy", "不能小于"},
        {"1020301", "10203030", "0200001009014412345", "zpdy", "位数应相同"},
        {"10203A01", "10203030", "0200001009014412345", "zpdy", "1到16位数字"},
        {"12345678901234567", "12345678901234568", "0200001009014412345", "zpdy", "1到16位数字"},
        {"1", "2", "  ", "zpdy", "账号"},
    };
    for (const auto &c : cases) {
        const NumberBook b{0, QString::fromLatin1(c.kind), QString::fromLatin1(c.account), QString::fromLatin1(c.first),
                           QString::fromLatin1(c.last)};
        const QString problem = numberBookProblem(b, others);
        if (*c.says == 0)
            EXPECT_TRUE(problem.isEmpty()) << c.first << ": " << problem.toStdString();
        else
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.says))) << c.first << ": " << problem.toStdString();
    }
}

TEST_F(NumberBookTest, NumbersRunOnFromTheHighestPrinted)
{
    EXPECT_TRUE(nextNumber(m_conn, kCheques, QStringLiteral("zpdy"), kAccount).number.isEmpty()); // no book
    book("00203001", "00203025");
    EXPECT_EQ(nextNumber(m_conn, kCheques, QStringLiteral("zpdy"), kAccount).number, QStringLiteral("00203001"));
    printed(QStringLiteral("00203009"));
    printed(QStringLiteral("00203041")); // outside the book
    printed(QStringLiteral("00203010"), QStringLiteral("6222"));           // another account
    printed(QStringLiteral("00203011"), kAccount, QStringLiteral("汇款凭证")); // another kind
    NextNumber next = nextNumber(m_conn, kCheques, QStringLiteral("zpdy"), kAccount);
    EXPECT_EQ(next.number, QStringLiteral("00203010"));
    EXPECT_EQ(next.left, 16);
    EXPECT_EQ(numberPrinted(m_conn, kCheques, kAccount, QStringLiteral("00203009")), QDate(2026, 12, 9));
    EXPECT_FALSE(numberPrinted(m_conn, kCheques, kAccount, QStringLiteral("00203010")).has_value());
    EXPECT_FALSE(numberPrinted(m_conn, kCheques, QStringLiteral("6222"), QStringLiteral("00203009")).has_value());

    // The last number of a book, then the next book; past both, used up.
    printed(QStringLiteral("00203025"));
    book("99999998", "99999999");
    next = nextNumber(m_conn, kCheques, QStringLiteral("zpdy"), kAccount);
    EXPECT_EQ(next.number, QStringLiteral("99999998"));
    EXPECT_EQ(next.left, 2);
    printed(QStringLiteral("99999999"));
    next = nextNumber(m_conn, kCheques, QStringLiteral("zpdy"), kAccount);
    EXPECT_TRUE(next.number.isEmpty());
    EXPECT_TRUE(next.usedUp);

    QString error;
    const QList<NumberBook> books = numberBooks(m_conn, &error);
    ASSERT_EQ(books.size(), 2);
    EXPECT_TRUE(removeNumberBook(m_conn, books.last().id, &error));
    EXPECT_EQ(numberBooks(m_conn).size(), 1);
}

} // namespace
