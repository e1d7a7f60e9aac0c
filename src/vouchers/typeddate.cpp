#include "vouchers/typeddate.h"

#include "text/numbers.h"
#include "ui/prompter.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace vouchers {

namespace {

// A whole number of at most `digits` digits (exactly when `exact`), blanks around it allowed.
std::optional<int> wholeNumber(const QString &typed, int digits, bool exact)
{
    const QString s = text::halfWidth(typed).trimmed();
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (!number.match(s).hasMatch() || s.size() > digits || (exact && s.size() != digits))
        return std::nullopt;
    return s.toInt();
}

} // namespace

std::optional<QDate> typedDate(const QString &year, const QString &month, const QString &day)
{
    const auto y = wholeNumber(year, 4, true);
    const auto m = wholeNumber(month, 2, false);
    const auto d = wholeNumber(day, 2, false);
    if (!y || !m || !d || *y < 1000)
        return std::nullopt;
    const QDate date(*y, *m, *d);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

TypedDate::TypedDate(QLineEdit *year, QLineEdit *month, QLineEdit *day, QLineEdit *confirmedYear,
                     QLineEdit *confirmedMonth, QLineEdit *confirmedDay)
    : m_year(year), m_month(month), m_day(day), m_confirmedYear(confirmedYear), m_confirmedMonth(confirmedMonth),
      m_confirmedDay(confirmedDay)
{
}

void TypedDate::setToday()
{
    const QDate today = QDate::currentDate();
    m_year->setText(QString::number(today.year()));
    m_month->setText(QString::number(today.month()));
    m_day->setText(QString::number(today.day()));
}

QString TypedDate::wrongDateMessage()
{
    return QStringLiteral("请输入正确的日期：年份为四位数字，月份为1至12，日为该月实有的日子");
}

bool TypedDate::confirm(QWidget *window)
{
    const std::optional<QDate> date = typedDate(m_year->text(), m_month->text(), m_day->text());
    if (!date) {
        ui::tell(window, wrongDateMessage(), QStringLiteral("确定日期"), ui::Icon::Information);
        // The first box that is wrong on its own; the day when only the combination is.
        const auto y = wholeNumber(m_year->text(), 4, true);
        const auto m = wholeNumber(m_month->text(), 2, false);
        QLineEdit *wrong = m_day;
        if (!y || *y < 1000)
            wrong = m_year;
        else if (!m || *m < 1 || *m > 12)
            wrong = m_month;
        wrong->setFocus();
        wrong->selectAll();
        return false;
    }
    m_confirmedYear->setText(QString::number(date->year()));
    m_confirmedMonth->setText(QString::number(date->month()));
    m_confirmedDay->setText(QString::number(date->day()));
    return true;
}

std::optional<QDate> TypedDate::confirmed() const
{
    return typedDate(m_confirmedYear->text(), m_confirmedMonth->text(), m_confirmedDay->text());
}

} // namespace vouchers
