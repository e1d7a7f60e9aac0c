#include "vouchers/repeats.h"

#include "store/lookups.h"
#include "text/amount.h"

namespace vouchers {

std::optional<EarlierVoucher> findRepeat(store::Connection &connection, const HistoryRow &row, const QDate &date)
{
    const std::optional<qint64> amount = text::parseFen(row.amount);
    if (!amount || !date.isValid())
        return std::nullopt;
    const std::optional<store::Payment> p = store::firstPayment(connection, row.payerName, row.payeeName, *amount,
                                                                date.addDays(-kRepeatDays), date.addDays(kRepeatDays));
    if (!p)
        return std::nullopt;
    return EarlierVoucher{p->date, p->type, p->number};
}

QString repeatQuestion(const HistoryRow &row, const EarlierVoucher &earlier)
{
    return QStringLiteral("%1天内已向%2打印过相同金额的%3（%4，%5），仍然打印吗？")
        .arg(kRepeatDays)
        .arg(row.payeeName, earlier.type, earlier.date.toString(QStringLiteral("yyyy-MM-dd")), earlier.number);
}

} // namespace vouchers
