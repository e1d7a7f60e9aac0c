#include "vouchers/pickeddate.h"

#include "vouchers/voucherwindow.h"

#include <QDateEdit>
#include <QLineEdit>

namespace vouchers {

PickedDate::PickedDate(QDateEdit *picker, QLineEdit *year, QLineEdit *month, QLineEdit *day)
    : m_picker(picker), m_year(year), m_month(month), m_day(day)
{
    m_picker->setLocale(QLocale(QLocale::Chinese, QLocale::China));
}

void PickedDate::setToday() { m_picker->setDate(QDate::currentDate()); }

void PickedDate::confirm()
{
    const QDate d = m_picker->date();
    m_year->setText(QString::number(d.year()));
    m_month->setText(QString::number(d.month()));
    m_day->setText(QString::number(d.day()));
    m_confirmed = d;
}

void PickedDate::take(const std::optional<QDate> &date)
{
    if (date) {
        m_picker->setDate(*date);
        confirm();
        return;
    }
    for (QLineEdit *box : {m_year, m_month, m_day})
        box->clear();
    m_confirmed = QDate();
}

QString PickedDate::historyText() const
{
    return m_confirmed.isValid() ? historyDate(m_confirmed)
                                 : m_year->text() + QLatin1Char('/') + m_month->text() + QLatin1Char('/') + m_day->text();
}

} // namespace vouchers
