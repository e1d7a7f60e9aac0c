#include "ui/dates.h"

#include <QCalendarWidget>
#include <QDateEdit>

namespace ui {

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

void setUpDatePicker(QDateEdit *picker)
{
    picker->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // The zh_CN locale starts its weeks on Sunday; a Chinese wall calendar starts them on Monday.
    if (QCalendarWidget *calendar = picker->calendarPopup() ? picker->calendarWidget() : nullptr)
        calendar->setFirstDayOfWeek(Qt::Monday);
}

} // namespace ui
