#include "store/historymarks.h"

#include "store/connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {

bool voidRow(Connection &connection, qint64 xh, const QString &reason, const QDateTime &when, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO dyb_marks (xh, zfsj, zfyy) VALUES (?, ?, ?) "
                             "ON CONFLICT (xh) DO UPDATE SET zfsj = excluded.zfsj, zfyy = excluded.zfyy"));
    q.addBindValue(xh);
    q.addBindValue(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    q.addBindValue(reason);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

QHash<qint64, VoidMark> voidMarks(Connection &connection)
{
    QHash<qint64, VoidMark> marks;
    QSqlQuery q(connection.database());
    if (!q.exec(QStringLiteral("SELECT xh, zfsj, zfyy FROM dyb_marks WHERE zfsj IS NOT NULL")))
        return marks;
    while (q.next())
        marks.insert(q.value(0).toLongLong(),
                     {QDateTime::fromString(q.value(1).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                      q.value(2).toString()});
    return marks;
}

bool markReprint(Connection &connection, qint64 xh, qint64 of, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO dyb_marks (xh, bdxh) VALUES (?, ?) ON CONFLICT (xh) DO UPDATE SET bdxh = excluded.bdxh"));
    q.addBindValue(xh);
    q.addBindValue(of);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

qint64 reprintOf(Connection &connection, qint64 xh)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT bdxh FROM dyb_marks WHERE xh = ?"));
    q.addBindValue(xh);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

qint64 newestRow(Connection &connection, const QString &type, const QString &number)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("SELECT max(xh) FROM dyb WHERE pzlx = ? AND pzhm = ?"));
    q.addBindValue(type);
    q.addBindValue(number);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace store
