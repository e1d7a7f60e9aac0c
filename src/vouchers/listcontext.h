#pragma once
// What a voucher made from data (a row of a payment list) reads besides the row: the customer it
// names, the own company, the calibration saved for its kind, and the day of printing. Read once
// per list and shared by its rows.

#include "printing/globaloffsets.h"
#include "store/connection.h"
#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/voucher.h"
#include "vouchers/voucherdata.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

namespace store { class Connection; }

namespace vouchers {

// A customer as a voucher takes it: from the address book, or given by the row when the address
// book has no such name.
struct Counterparty {
    QString name, account, bank, province, city;
};

class ListContext {
public:
    explicit ListContext(store::Connection &connection, const QDate &today = QDate::currentDate());

    store::Connection &connection() { return m_connection; }
    QDate today() const { return m_today; }

    // The customer of that exact name. An unknown name is taken with the account and bank the
    // row gives; without them, or when two customers share the name (the row cannot say which
    // account it means), it is a problem and the customer is empty (the voucher is checked all
    // the same, so that the row's other problems are named too). An empty name is an empty
    // customer: the print asks about the empty payee.
    Counterparty counterparty(const VoucherData &data, QList<DataProblem> &problems);
    // The own company's row (gsmc, khh, zhh, hp, hc); empty texts when the table has none.
    Counterparty ownCompany();
    // The saved calibration of a profile file in the data folder ("mqtx.ini"), its keys as the
    // table lists them; read once.
    const Calibration &calibration(const QString &fileName, const QList<KeyBox> &keys);
    // One key of a profile file as stored (the general voucher's place option).
    QString profileText(const QString &fileName, const QString &key);
    // The global printer adjustment (dytj) and the general voucher's layout (tydysz); read once.
    const printing::GlobalOffsets &globalOffsets();
    const Offsets &generalLayout();

    // The date of the data, or a problem; nothing without a problem when the cell is empty (the
    // print refuses with the voucher's own message then).
    static std::optional<QDate> date(const VoucherData &data, QList<DataProblem> &problems);

private:
    store::Connection &m_connection;
    // The calibration tables' own connection, made when they live outside the data folder.
    std::unique_ptr<store::Connection> m_calibrationConnection;
    store::Connection &calibrationConnection();
    QDate m_today;
    std::optional<Counterparty> m_own;
    QHash<QString, Calibration> m_calibrations;
    std::optional<printing::GlobalOffsets> m_global;
    std::optional<Offsets> m_layout;
};

} // namespace vouchers
