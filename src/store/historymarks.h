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

} // namespace store
