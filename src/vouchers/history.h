#pragma once
// The print history rows the vouchers write, and how a print records them around its hand-over
// to a printer queue or a PDF file, so that the history holds exactly what went out.

#include "printing/issue.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

namespace store { class Connection; }

namespace vouchers {

// The twelve values of a dyb row, in column order from position 1 (the key xh is position 0).
struct HistoryRow {
    QDate printed;       // dyrq: the day of printing
    QString voucherDate; // fkrq: the voucher's date as year/month/day, e.g. "2010/4/14"
    QString type;        // pzlx: "支票", "进账单", ...
    QString number;      // pzhm
    QString amount;      // fkje, as typed
    QString purpose;     // fkyt
    QString payerName;   // fkrmc
    QString payerAccount; // fkrzhh
    QString payerBank;   // fkrkhh
    QString payeeName;   // skrmc
    QString payeeAccount; // skrzhh
    QString payeeBank;   // skrkhh

    QVariantList values() const;
};

// The date as the history keeps it: year/month/day without leading zeros ("2010/4/14").
QString historyDate(const QDate &date);

// Appends the rows in one transaction: all of them or, with *error, none.
bool appendHistory(store::Connection &connection, const QList<HistoryRow> &rows, QString *error = nullptr);

// The record of a print of these vouchers (one, or a batch in page order). Printed to a queue, the
// rows are written down beside the job (table dyb_jobs) before the queue gets it and go into the
// history once the queue has taken it whole; saved as a PDF file, they go into the history with a
// note of the file just before it is put in place, and out again if that fails. The connection
// must outlive the print.
printing::Issued recordOf(store::Connection &connection, QList<HistoryRow> rows);

// A print that was cut off between its hand-over and its record (the program killed, the machine
// down), settled at the next start: a job the queue took is recorded, one it never got whole is
// cancelled, a PDF file complete beside its place is put there. What could not be settled so (the
// queue no longer knows the job) is put to the clerk through decide() with the rows concerned:
// true records them, false drops them; without decide() such a print is left for a later start.
// Returns what the clerk should be told, one text per print; empty when nothing was interrupted.
using PrintedOrNot = std::function<bool(const QString &question)>;
QStringList settleInterruptedPrints(store::Connection &connection, const PrintedOrNot &decide = {});

} // namespace vouchers
