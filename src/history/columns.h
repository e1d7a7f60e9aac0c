#pragma once
// The print history columns as the grid shows them and the workbook export writes them.

#include "store/gridmodel.h"

#include <QDate>
#include <QVector>

namespace history {

// 打印日期 as "2010年4月14日".
QString printDateText(const QDate &date);
// 付款日期 as "2010-04-14".
QString paymentDateText(const QDate &date);
// A date in the detail fields: the zh_CN short form ("2010/4/14").
QString shortDateText(const QDate &date);

// The fourteen grid columns in display order, with captions and display forms; xh is never shown.
QVector<store::GridColumn> historyColumns();

} // namespace history
