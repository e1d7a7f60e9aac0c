#pragma once
// The deposit slip as data: its entries, the checks and the history row they make, and the slip
// a row of a payment list makes, all without a window.

#include "vouchers/deposit.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"

namespace vouchers {

struct DepositEntries {
    DepositFace face;    // what goes on paper: the customer pays, the own company receives
    QString number;      // 票据号码 as typed; face.billNumber is its copy, which the history records
    QString amount;      // as typed
    QString purpose;     // as typed; face.purpose is its copy
    QString voucherDate; // the confirmed date as the history keeps it
};

// The slip with its checks in order (confirmed date, amount, purpose, number), the history row
// and the print routine with the offsets given.
Voucher depositVoucher(const DepositEntries &entries, const Offsets &offsets, const QDate &printed);

// The slip of a list row with the saved calibration.
Voucher depositFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems);

} // namespace vouchers
