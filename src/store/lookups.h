#pragma once
// Look-ups a list of vouchers makes for each of its rows, each one statement prepared once on the
// connection and reading only the columns it needs.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace store {

class Connection;

// The customers whose name is exactly name: gsmc, zhh, khh, sheng, shi of each, in stored order.
QList<QStringList> customersNamedExactly(Connection &connection, const QString &name);

// A voucher of the history as a repeat check compares it.
struct Payment {
    QString payer;  // fkrmc
    QString amount; // fkje, as typed
    QDate date;     // fkrq
    QString type;   // pzlx
    QString number; // pzhm
};
// The history's vouchers to exactly this payee dated from..to (both days included), oldest row
// first: one seek in the index on payee and date.
QList<Payment> paymentsTo(Connection &connection, const QString &payee, const QDate &from, const QDate &to);

} // namespace store
