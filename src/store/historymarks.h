#pragma once
// What the history keeps beside its own columns (dyb_marks): a voucher voided, when and why.

#include <QDateTime>
#include <QHash>
#include <QString>

namespace store {

class Connection;

struct VoidMark {
    QDateTime when;
    QString reason;
};

// Marks the history row xh void. The row stays; it no longer counts as a payment.
bool voidRow(Connection &connection, qint64 xh, const QString &reason, const QDateTime &when, QString *error);
// Every voided row by its xh.
QHash<qint64, VoidMark> voidMarks(Connection &connection);

// Marks the history row xh as the reprint of row of.
bool markReprint(Connection &connection, qint64 xh, qint64 of, QString *error);
// The row a reprint prints again (0 when xh is none).
qint64 reprintOf(Connection &connection, qint64 xh);
// The newest history row of the type and number (0 when there is none): the row a print has
// just written.
qint64 newestRow(Connection &connection, const QString &type, const QString &number);

} // namespace store
