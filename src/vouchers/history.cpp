#include "vouchers/history.h"

#include "store/datasource.h"

#include <QVariant>

namespace vouchers {

bool appendHistory(store::DataSource &history, const HistoryRow &row, QString *error)
{
    const QVariant values[] = {row.printed,     row.voucherDate,  row.type,      row.number,
                               row.amount,      row.purpose,      row.payerName, row.payerAccount,
                               row.payerBank,   row.payeeName,    row.payeeAccount, row.payeeBank};
    history.addNew();
    int position = 1;
    for (const QVariant &v : values) {
        if (!history.setValue(position++, v)) {
            if (error)
                *error = history.errorText();
            history.cancelUpdate();
            return false;
        }
    }
    if (!history.update()) {
        if (error)
            *error = history.errorText();
        history.cancelUpdate();
        return false;
    }
    return true;
}

} // namespace vouchers
