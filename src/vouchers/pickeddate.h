#pragma once
// A voucher's date picker and the three boxes its confirmation fills with plain numbers (year,
// month, day), with the date they were made from.

#include <QDate>
#include <QString>

#include <optional>

class QDateEdit;
class QLineEdit;

namespace vouchers {

class PickedDate {
public:
    PickedDate(QDateEdit *picker, QLineEdit *year, QLineEdit *month, QLineEdit *day);

    void setToday();
    // The picker's date into the boxes ("确定日期").
    void confirm();
    // A date given as data: confirmed at once; none empties the boxes.
    void take(const std::optional<QDate> &date);
    // The date as the history keeps it (2010/4/14): the confirmed one, or what the boxes say when
    // they were filled otherwise.
    QString historyText() const;

private:
    QDateEdit *m_picker;
    QLineEdit *m_year, *m_month, *m_day;
    QDate m_confirmed;
};

} // namespace vouchers
