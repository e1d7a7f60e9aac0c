#pragma once
// A voucher date typed into three boxes (year, month, day) and confirmed into the three boxes the
// voucher prints. Only a real calendar date with a four-digit year is confirmed.

#include <QDate>
#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

namespace vouchers {

// The date three typed texts name: a four-digit year (full-width digits count), a month 1 to 12
// and a day the month has; nothing otherwise ("2010", "2", "30" is nothing, so is "10", "2", "3").
std::optional<QDate> typedDate(const QString &year, const QString &month, const QString &day);

class TypedDate {
public:
    // year, month, day: the typed boxes; confirmedYear ...: the boxes the voucher prints.
    TypedDate(QLineEdit *year, QLineEdit *month, QLineEdit *day, QLineEdit *confirmedYear,
              QLineEdit *confirmedMonth, QLineEdit *confirmedDay);

    // Today's year, month and day into the typed boxes.
    void setToday();
    // Copies a real typed date into the confirmed boxes (plain numbers, no leading zero) and
    // returns true; otherwise tells the user, puts the focus on the first wrong box and leaves
    // the confirmed boxes as they were.
    bool confirm(QWidget *window);
    // The confirmed date, when the confirmed boxes hold a real one.
    std::optional<QDate> confirmed() const;

    static QString wrongDateMessage();

private:
    QLineEdit *m_year, *m_month, *m_day;
    QLineEdit *m_confirmedYear, *m_confirmedMonth, *m_confirmedDay;
};

} // namespace vouchers
