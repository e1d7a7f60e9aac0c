#pragma once
// The cheque as data: its entries, the checks and the history row they make, and the cheque a
// row of a payment list makes, all without a window.

#include "vouchers/cheque.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"

namespace vouchers {

struct ChequeEntries {
    ChequeFace face;     // what goes on paper, copies included
    QString number;      // 支票号码
    QString amount;      // as typed; face.amountWords and the cells are made from it
    QString purpose;     // as typed; face.purpose is its copy, which the history records
    QString voucherDate; // the confirmed date as the history keeps it (2010/4/14)
    Party payer;         // the own company, recorded whatever the bank switch says
    Party payee;         // the customer: the name on paper, account and bank recorded
};

// The cheque with its checks in order (number, confirmed date, amount, purpose), the history row
// and the print routine with the offsets given.
Voucher chequeVoucher(const ChequeEntries &entries, const Offsets &offsets, const QDate &printed);

// The cheque of a list row, with the saved calibration (switches included).
Voucher chequeFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems);

} // namespace vouchers
