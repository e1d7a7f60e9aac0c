#pragma once
// The print history columns as the grid shows them and the workbook export writes them.

#include "store/gridmodel.h"

#include <QDate>
#include <QVector>

namespace history {

// A sum of amounts in fen as the window shows it: "1,234,567.89", "-0.50".
QString fenText(qint64 fen);

// The fourteen grid columns in display order, with captions and display forms (dates as
// ui::dateText shows them); xh is never shown.
QVector<store::GridColumn> historyColumns();

} // namespace history
