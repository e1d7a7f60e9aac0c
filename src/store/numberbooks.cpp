#include "store/numberbooks.h"

#include "store/connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {

namespace {

constexpr int kMaxDigits = 16;

bool allDigits(const QString &text)
{
    if (text.isEmpty() || text.size() > kMaxDigits)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The number after n, as many digits long; empty past the last of that length.
QString following(const QString &n)
{
    QString out = n;
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        if (out[i] != QLatin1Char('9')) {
            out[i] = QChar(out[i].unicode() + 1);
            return out;
        }
        out[i] = QLatin1Char('0');
    }
    return QString();
}

} // namespace

qint64 NumberBook::size() const { return last.toLongLong() - first.toLongLong() + 1; }

bool NumberBook::holds(const QString &number) const
{
    return number.size() == first.size() && allDigits(number) && number >= first && number <= last;
}

QString numberBookProblem(const NumberBook &book, const QList<NumberBook> &others)
{
    if (book.account.trimmed().isEmpty())
        return QStringLiteral("请输入号码簿所属的账号。");
    if (!allDigits(book.first) || !allDigits(book.last))
        return QStringLiteral("起始号码和终止号码只能是1到16位数字。");
    if (book.first.size() != book.last.size())
        return QStringLiteral("起始号码和终止号码的位数应相同（前面的0也算一位）。");
    if (book.last < book.first)
        return QStringLiteral("终止号码不能小于起始号码。");
    for (const NumberBook &o : others)
        if (o.id != book.id && o.kind == book.kind && o.account == book.account && o.first.size() == book.first.size()
            && !(book.last < o.first || o.last < book.first))
            return QStringLiteral("号码 %1–%2 与已登记的号码簿 %3–%4 重叠。").arg(book.first, book.last, o.first, o.last);
    return QString();
}

QList<NumberBook> numberBooks(Connection &connection, QString *error)
{
    QList<NumberBook> books;
    QSqlQuery q(connection.database());
    if (!q.exec(QStringLiteral("SELECT id, kind, zhh, qshm, zzhm FROM pzhmb ORDER BY id"))) {
        if (error)
            *error = q.lastError().text();
        return books;
    }
    while (q.next())
        books.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                      q.value(4).toString()});
    return books;
}

bool addNumberBook(Connection &connection, NumberBook *book, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO pzhmb (kind, zhh, qshm, zzhm) VALUES (?, ?, ?, ?)")
              + connection.returning(QStringLiteral("id")));
    q.addBindValue(book->kind);
    q.addBindValue(book->account);
    q.addBindValue(book->first);
    q.addBindValue(book->last);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    book->id = Connection::insertedKey(q);
    return true;
}

bool removeNumberBook(Connection &connection, qint64 id, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("DELETE FROM pzhmb WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

std::optional<QDate> numberPrinted(Connection &connection, const HistoryKey &key, const QString &account,
                                   const QString &number)
{
    // The column is one of two names of ours, never the user's text.
    QSqlQuery *q = connection.prepared(QStringLiteral("SELECT min(dyrq) FROM dyb WHERE pzlx = ? AND pzhm = ? AND "
                                                      "coalesce(%1, '') = ?")
                                           .arg(key.accountColumn == QLatin1String("skrzhh") ? QStringLiteral("skrzhh")
                                                                                             : QStringLiteral("fkrzhh")));
    if (!q)
        return std::nullopt;
    q->bindValue(0, key.type);
    q->bindValue(1, number);
    q->bindValue(2, account);
    // Finished on every path: a statement left open holds a read lock on the file that keeps
    // the other windows' connections from writing.
    const QVariant found = q->exec() && q->next() ? q->value(0) : QVariant();
    q->finish();
    if (found.isNull())
        return std::nullopt;
    const QDate day = QDate::fromString(found.toString().left(10), Qt::ISODate);
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

QString nextInBook(Connection &connection, const HistoryKey &key, const NumberBook &book, const QSet<QString> &taken)
{
    const QString column = key.accountColumn == QLatin1String("skrzhh") ? QStringLiteral("skrzhh") : QStringLiteral("fkrzhh");
    QSqlQuery *q = connection.prepared(QStringLiteral("SELECT max(pzhm) FROM dyb WHERE pzlx = ? AND pzhm BETWEEN ? AND ? "
                                                      "AND length(pzhm) = ? AND coalesce(%1, '') = ?")
                                           .arg(column));
    if (!q)
        return QString();
    q->bindValue(0, key.type);
    q->bindValue(1, book.first);
    q->bindValue(2, book.last);
    q->bindValue(3, book.first.size());
    q->bindValue(4, book.account);
    QString highest;
    if (q->exec() && q->next())
        highest = q->value(0).toString();
    q->finish();
    for (const QString &number : taken)
        if (book.holds(number) && (highest.isEmpty() || number > highest))
            highest = number;
    const QString candidate = highest.isEmpty() ? book.first : following(highest);
    return candidate.isEmpty() || candidate > book.last ? QString() : candidate;
}

NextNumber nextNumber(Connection &connection, const HistoryKey &key, const QString &kind, const QString &account,
                      const QSet<QString> &taken)
{
    NextNumber next;
    bool any = false;
    for (const NumberBook &book : numberBooks(connection)) {
        if (book.kind != kind || book.account != account)
            continue;
        any = true;
        const QString candidate = nextInBook(connection, key, book, taken);
        if (candidate.isEmpty())
            continue; // used up
        next.number = candidate;
        next.left = book.last.toLongLong() - candidate.toLongLong() + 1;
        next.book = book;
        return next;
    }
    next.usedUp = any;
    return next;
}

} // namespace store
