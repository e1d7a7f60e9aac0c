#include "store/lookups.h"

#include "store/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace store {

namespace {
// Binding a null QString would compare with NULL and find nothing; the user's empty text is ''.
QVariant text(const QString &s) { return QVariant(s.isNull() ? QStringLiteral("") : s); }

// yyyy-MM-dd, as the history stores its dates (QDate::toString goes through a printf: a look-up
// made before every voucher of a list would spend an eighth of its time there).
QString isoDate(const QDate &date)
{
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (!date.isValid() || y < 0 || y > 9999)
        return date.toString(Qt::ISODate);
    const char16_t text[] = {char16_t(u'0' + y / 1000),     char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                             char16_t(u'0' + y % 10),       u'-',
                             char16_t(u'0' + m / 10),       char16_t(u'0' + m % 10),       u'-',
                             char16_t(u'0' + d / 10),       char16_t(u'0' + d % 10)};
    return QString(reinterpret_cast<const QChar *>(text), 10);
}
} // namespace

QList<QStringList> customersNamedExactly(Connection &connection, const QString &name)
{
    QList<QStringList> rows;
    QSqlQuery *q = connection.prepared(QStringLiteral("SELECT gsmc, zhh, khh, sheng, shi FROM khb WHERE gsmc = ? ORDER BY rowid"));
    if (!q)
        return rows;
    q->bindValue(0, text(name));
    if (!q->exec())
        return rows;
    while (q->next())
        rows.append({q->value(0).toString(), q->value(1).toString(), q->value(2).toString(), q->value(3).toString(),
                     q->value(4).toString()});
    q->finish();
    return rows;
}

std::optional<Payment> firstPayment(Connection &connection, const QString &payer, const QString &payee, qint64 fen,
                                    const QDate &from, const QDate &to)
{
    // A payer never stored (NULL) is the empty one, as the rows read back; amount_fen reads the
    // amounts as text::parseFen does. The oldest match as the least row number: no sort. A voided
    // voucher went nowhere and is no payment.
    QSqlQuery *q = connection.prepared(
        QStringLiteral("SELECT fkrq, pzlx, pzhm FROM dyb WHERE xh = (SELECT min(xh) FROM dyb WHERE skrmc = ? AND "
                       "fkrq BETWEEN ? AND ? AND coalesce(fkrmc, '') = ? AND amount_fen(fkje) = ? AND "
                       "xh NOT IN (SELECT xh FROM dyb_marks WHERE zfsj IS NOT NULL))"));
    if (!q)
        return std::nullopt;
    q->bindValue(0, text(payee));
    q->bindValue(1, isoDate(from));
    q->bindValue(2, isoDate(to));
    q->bindValue(3, text(payer));
    q->bindValue(4, fen);
    if (!q->exec() || !q->next())
        return std::nullopt;
    Payment found{QDate::fromString(q->value(0).toString(), Qt::ISODate), q->value(1).toString(), q->value(2).toString()};
    q->finish();
    return found;
}

} // namespace store
