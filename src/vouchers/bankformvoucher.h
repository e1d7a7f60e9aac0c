#pragma once
// The two bank forms as data (the construction-bank wire voucher and the agricultural-bank
// application): their entries, the checks and the history row they make, and the voucher a row of
// a payment list makes, all without a window.

#include "printing/globaloffsets.h"
#include "vouchers/bankforms.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"

namespace vouchers {

struct BankFormEntries {
    QString number;                  // 凭证号 / 申请书号码
    QString amount;                  // as typed
    std::optional<QDate> confirmed;  // the date the confirmed boxes name, when it is a real one
};

// The forms with their checks in order (number, confirmed date, amount, purpose, then a
// confirmed date that is no real date), the history row and the print routine.
Voucher wireVoucher(const WireFace &face, const BankFormEntries &entries, const GlobalOffsets &offsets,
                    const QDate &printed);
Voucher applicationVoucher(const ApplicationFace &face, const BankFormEntries &entries, const GlobalOffsets &offsets,
                           const QDate &printed);

Voucher wireFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems);
Voucher applicationFromData(const VoucherData &data, ListContext &context,
                                           QList<DataProblem> &problems);

// The marks of the two method boxes (普通, 加急) with the one given ticked.
QString tickMark(bool ticked);

} // namespace vouchers
