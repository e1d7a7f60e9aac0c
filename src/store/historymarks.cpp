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

} // namespace store
