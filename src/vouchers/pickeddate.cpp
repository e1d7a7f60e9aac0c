#include "vouchers/pickeddate.h"

#include "text/capitaldate.h"
#include "ui/prompter.h"
#include "vouchers/history.h"

#include <QDateEdit>
#include <QLineEdit>

namespace vouchers {

PickedDate::PickedDate(QDateEdit *picker, QLineEdit *year, QLineEdit *month, QLineEdit *day, Capitals capitals)
    : m_picker(picker), m_year(year), m_month(month), m_day(day), m_capitals(capitals)
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
    if (m_capitals.year) {
        m_capitals.year->setText(text::capitalYear(d.year()));
        // A picker gives no month or day without capitals; a wrong one is told all the same.
        if (const auto month = text::capitalMonth(d.month()))
            m_capitals.month->setText(*month);
        else
            ui::tell(m_picker->window(), QString::fromUtf8(text::kWrongMonthMessage),
                     QString::fromUtf8(text::kDateMessageTitle));
        if (const auto day = text::capitalDay(d.day()))
            m_capitals.day->setText(*day);
        else
            ui::tell(m_picker->window(), QString::fromUtf8(text::kWrongDayMessage),
                     QString::fromUtf8(text::kDateMessageTitle));
    }
    m_confirmed = d;
}

void PickedDate::take(const std::optional<QDate> &date)
{
    if (date) {
        m_picker->setDate(*date);
        confirm();
        return;
    }
    for (QLineEdit *box : {m_year, m_month, m_day, m_capitals.year, m_capitals.month, m_capitals.day})
        if (box)
            box->clear();
    m_confirmed = QDate();
}

QString PickedDate::historyText() const
{
    return m_confirmed.isValid() ? historyDate(m_confirmed)
                                 : m_year->text() + QLatin1Char('/') + m_month->text() + QLatin1Char('/') + m_day->text();
}

} // namespace vouchers
