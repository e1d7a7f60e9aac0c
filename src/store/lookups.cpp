#include "store/lookups.h"

#include "store/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace store {

namespace {
// Binding a null QString would compare with NULL and find nothing; the user's empty text is ''.
QVariant text(const QString &s) { return QVariant(s.isNull() ? QStringLiteral("") : s); }
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

QList<Payment> paymentsTo(Connection &connection, const QString &payee, const QDate &from, const QDate &to)
{
    QList<Payment> out;
    QSqlQuery *q = connection.prepared(QStringLiteral(
        "SELECT fkrmc, fkje, fkrq, pzlx, pzhm FROM dyb WHERE skrmc = ? AND fkrq BETWEEN ? AND ? ORDER BY xh"));
    if (!q)
        return out;
    q->bindValue(0, text(payee));
    q->bindValue(1, from.toString(Qt::ISODate));
    q->bindValue(2, to.toString(Qt::ISODate));
    if (!q->exec())
        return out;
    while (q->next())
        out.append({q->value(0).toString(), q->value(1).toString(),
                    QDate::fromString(q->value(2).toString(), Qt::ISODate), q->value(3).toString(),
                    q->value(4).toString()});
    q->finish();
    return out;
}

} // namespace store
