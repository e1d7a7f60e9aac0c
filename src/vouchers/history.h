#pragma once
// The print history row every voucher appends when its print starts.

#include "store/datasource.h"

#include <QDate>
#include <QString>

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
};

// Appends the row through the history data source (refreshed once on dyb) by column position
// and writes it at once. On failure nothing is written and *error says why.
bool appendHistory(store::DataSource &history, const HistoryRow &row, QString *error = nullptr);

// A voucher window's history data source (Adodc4), used only to append. It opens on a statement
// that selects no row: reading a long history (a million rows takes most of a second) would slow
// down every print for nothing.
class HistoryAppender {
public:
    explicit HistoryAppender(store::Connection &connection) : m_rows(connection) {}
    bool append(const HistoryRow &row, QString *error = nullptr);
    store::DataSource &rows() { return m_rows; }

private:
    store::DataSource m_rows;
    bool m_open = false;
};

} // namespace vouchers
