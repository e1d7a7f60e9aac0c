#pragma once
// Dates as the store keeps them (ISO text) and as the windows hand them over (year/month/day).

#include <QDate>
#include <QString>
#include <QVariant>

namespace store {

// A date written year, month and day joined by "/" or "-", with or without leading zeros
// ("2010/4/14", "2010-04-14"); blanks around it are ignored. Invalid for anything else.
QDate dateFromText(const QString &text);

// The stored form of a value meant for a date column: ISO text "yyyy-MM-dd", or a null
// QVariant for an empty value. *ok is false when the value is not a date.
QVariant storedDate(const QVariant &value, bool *ok);

} // namespace store
