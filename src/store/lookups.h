#pragma once
// Look-ups a list of vouchers makes for each of its rows, each one statement prepared once on the
// connection and reading only the columns it needs.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {

class Connection;

// The customers whose name is exactly name: gsmc, zhh, khh, sheng, shi of each, in stored order.
QList<QStringList> customersNamedExactly(Connection &connection, const QString &name);

// A voucher of the history as a repeat check names it.
struct Payment {
    QDate date;     // fkrq
    QString type;   // pzlx
    QString number; // pzhm
};
// The oldest voucher of the history from payer to exactly this payee, dated from..to (both days
// included), whose amount as typed (fkje) reads as fen: one seek in the index on payee and date,
// payer and amount compared by SQLite, only the match read back.
std::optional<Payment> firstPayment(Connection &connection, const QString &payer, const QString &payee, qint64 fen,
                                    const QDate &from, const QDate &to);

} // namespace store
