#pragma once
// The payment notice as data: its entries, the checks and the history row they make, and the
// notice a row of a payment list makes, all without a window.

#include "vouchers/listcontext.h"
#include "vouchers/notice.h"
#include "vouchers/voucher.h"

namespace vouchers {

struct NoticeEntries {
    NoticeFace face;     // what goes on paper: the customer pays, the own company receives
    QString number;      // 单号
    QString amount;      // as typed
    QString purpose;     // as typed; face.purpose is its copy, which the history records
    QString voucherDate; // the confirmed date as the history keeps it
};

// The notice with its checks in order (number, confirmed date, amount, purpose), the history row
// and the print routine with the offsets given.
Voucher noticeVoucher(const NoticeEntries &entries, const Offsets &offsets, const QDate &printed);

Voucher noticeFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems);

} // namespace vouchers
