#pragma once
// A voucher's date picker and the three boxes its confirmation fills with plain numbers (year,
// month, day), with the date they were made from; on the cheque also three boxes of capitals.

#include <QDate>
#include <QString>

#include <optional>

class QDateEdit;
class QLineEdit;

namespace vouchers {

// Boxes for the date in capital numerals (贰零壹零, 零肆, 壹拾肆), filled by the same confirmation.
struct DateCapitals {
    QLineEdit *year = nullptr, *month = nullptr, *day = nullptr;
};

class PickedDate {
public:
    using Capitals = DateCapitals;
    PickedDate(QDateEdit *picker, QLineEdit *year, QLineEdit *month, QLineEdit *day, Capitals capitals = {});

    void setToday();
    // The picker's date into the boxes ("确定日期").
    void confirm();
    // A date given as data: confirmed at once; none empties the boxes.
    void take(const std::optional<QDate> &date);
    // The date as the history keeps it (2010/4/14): the confirmed one, or what the boxes say when
    // they were filled otherwise.
    QString historyText() const;
    // The date the boxes were last made from; invalid when none.
    QDate confirmed() const { return m_confirmed; }

private:
    QDateEdit *m_picker;
    QLineEdit *m_year, *m_month, *m_day;
    Capitals m_capitals;
    QDate m_confirmed;
};

} // namespace vouchers
