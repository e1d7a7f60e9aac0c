#pragma once
// The one form in which the program shows a date (2010-04-14, as the database holds it) and the
// date pickers that go with it: the same order, weeks beginning on Monday as in Chinese calendars.

#include <QDate>
#include <QString>

class QDateEdit;

namespace ui {

// "2010-04-14"; empty for an invalid date.
QString dateText(const QDate &date);

// Shows the picker's date as dateText() does and starts its calendar's weeks on Monday.
void setUpDatePicker(QDateEdit *picker);

} // namespace ui
