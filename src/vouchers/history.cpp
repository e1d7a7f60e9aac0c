#include "vouchers/history.h"

#include "store/statements.h"

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

bool HistoryAppender::append(const HistoryRow &row, QString *error)
{
    if (!m_open) {
        m_rows.setStatement(store::statements::historyForAppending());
        if (!m_rows.refresh()) {
            if (error)
                *error = m_rows.errorText();
            return false;
        }
        m_open = true;
    }
    return appendHistory(m_rows, row, error);
}

} // namespace vouchers
