#pragma once
// The general wire voucher as data: its entries, the checks and the history row they make, and
// the voucher a row of a payment list makes, all without a window.

#include "vouchers/general.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"

namespace vouchers {

struct GeneralEntries {
    GeneralFace face;    // what goes on paper
    QString number;      // 凭证号: recorded, not printed
    QString amount;      // as typed
    QString purpose;     // as typed; face.purpose is its copy, which the history records
    QString voucherDate; // the confirmed date as the history keeps it
};

// The voucher with its checks in order (number, confirmed date, amount, purpose), the history row
// ("汇款凭证") and the print routine with the layout given.
Voucher generalVoucher(const GeneralEntries &entries, const Offsets &layout, const QDate &printed);

Voucher generalFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems);

// Where the general voucher keeps its place option (text119 of the cheque's profile file): "1"
// prints the places of both parties, anything else blanks them.
inline const QString kGeneralPlaceProfile = QStringLiteral("mqtx.ini");
inline const QString kGeneralPlaceKey = QStringLiteral("text119");

} // namespace vouchers
