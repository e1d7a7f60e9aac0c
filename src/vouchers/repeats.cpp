#include "vouchers/repeats.h"

#include "store/datasource.h"
#include "store/statements.h"
#include "text/amount.h"

namespace vouchers {

std::optional<EarlierVoucher> findRepeat(store::Connection &connection, const HistoryRow &row, const QDate &date)
{
    const std::optional<qint64> amount = text::parseFen(row.amount);
    if (!amount || !date.isValid())
        return std::nullopt;
    store::DataSource earlier(connection);
    earlier.setStatement(
        store::statements::historyOfPayeeBetween(row.payeeName, date.addDays(-kRepeatDays), date.addDays(kRepeatDays)));
    if (!earlier.refresh())
        return std::nullopt;
    for (earlier.moveFirst(); !earlier.eof(); earlier.moveNext()) {
        if (earlier.text(QStringLiteral("fkrmc")) != row.payerName)
            continue;
        if (text::parseFen(earlier.text(QStringLiteral("fkje"))) != amount)
            continue;
        return EarlierVoucher{earlier.value(QStringLiteral("fkrq")).toDate(), earlier.text(QStringLiteral("pzlx")),
                              earlier.text(QStringLiteral("pzhm"))};
    }
    return std::nullopt;
}

QString repeatQuestion(const HistoryRow &row, const EarlierVoucher &earlier)
{
    return QStringLiteral("%1天内已向%2打印过相同金额的%3（%4，%5），仍然打印吗？")
        .arg(kRepeatDays)
        .arg(row.payeeName, earlier.type, earlier.date.toString(QStringLiteral("yyyy-MM-dd")), earlier.number);
}

} // namespace vouchers
