#include "store/dates.h"

#include <QDateTime>
#include <QRegularExpression>

namespace store {

QDate dateFromText(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return QDate();
    return QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
}

QVariant storedDate(const QVariant &value, bool *ok)
{
    *ok = true;
    if (value.isNull())
        return QVariant();
    QDate date;
    switch (value.typeId()) {
    case QMetaType::QDate:
        date = value.toDate();
        break;
    case QMetaType::QDateTime:
        date = value.toDateTime().date();
        break;
    default:
        if (value.toString().trimmed().isEmpty())
            return QVariant();
        date = dateFromText(value.toString());
        break;
    }
    if (!date.isValid()) {
        *ok = false;
        return QVariant();
    }
    return date.toString(Qt::ISODate);
}

} // namespace store
