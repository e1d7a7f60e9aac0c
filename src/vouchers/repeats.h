#pragma once
// The same payment printed twice: an earlier voucher in the history with the same payer, payee and
// amount close to the new one's date.

#include "vouchers/history.h"

#include <QDate>
#include <QString>

#include <optional>

namespace store { class Connection; }

namespace vouchers {

struct EarlierVoucher {
    QDate date;     // fkrq
    QString type;   // pzlx
    QString number; // pzhm
};

// How far apart two vouchers of the same payment may be dated and still count as a repeat.
inline constexpr int kRepeatDays = 30;

// The first voucher of the history to the same payee (exactly), from the same payer, of the same
// amount (as a number: 1000.5 and 1000.50 are one amount), dated at most kRepeatDays before or
// after date; nothing when there is none or the amount is no number.
std::optional<EarlierVoucher> findRepeat(store::Connection &connection, const HistoryRow &row, const QDate &date);

// 30天内已向<收款人>打印过相同金额的<类型>（<日期>，<凭证号>），仍然打印吗？
QString repeatQuestion(const HistoryRow &row, const EarlierVoucher &earlier);

} // namespace vouchers
