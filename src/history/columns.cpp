#include "history/columns.h"

#include <QLocale>

namespace history {

namespace {

QDate asDate(const QVariant &v) { return v.typeId() == QMetaType::QDate ? v.toDate() : QDate(); }

// A date column shows its text as stored when it is not a date (an old row written by hand).
std::function<QString(const QVariant &)> dateFormat(QString (*form)(const QDate &))
{
    return [form](const QVariant &v) {
        const QDate d = asDate(v);
        return d.isValid() ? form(d) : v.toString();
    };
}

} // namespace

QString printDateText(const QDate &date)
{
    return date.isValid() ? QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day())
                          : QString();
}

QString paymentDateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString shortDateText(const QDate &date)
{
    static const QLocale chinese(QLocale::Chinese, QLocale::China);
    return date.isValid() ? chinese.toString(date, QLocale::ShortFormat) : QString();
}

QVector<store::GridColumn> historyColumns()
{
    return {
        {QStringLiteral("dyrq"), QStringLiteral("打印日期"), dateFormat(&printDateText)},
        {QStringLiteral("fkrq"), QStringLiteral("付款日期"), dateFormat(&paymentDateText)},
        {QStringLiteral("pzlx"), QStringLiteral("凭证类型"), {}},
        {QStringLiteral("pzhm"), QStringLiteral("凭证号码"), {}},
        {QStringLiteral("fkje"), QStringLiteral("付款金额"), {}},
        {QStringLiteral("fkyt"), QStringLiteral("付款用途"), {}},
        {QStringLiteral("skrmc"), QStringLiteral("收款人名称"), {}},
        {QStringLiteral("skrzhh"), QStringLiteral("收款人帐号"), {}},
        {QStringLiteral("skrkhh"), QStringLiteral("收款人开户行"), {}},
        {QStringLiteral("fkrmc"), QStringLiteral("付款人名称"), {}},
        {QStringLiteral("fkrzhh"), QStringLiteral("付款人帐号"), {}},
        {QStringLiteral("fkrkhh"), QStringLiteral("付款人开户行"), {}},
        {QStringLiteral("sheng"), QStringLiteral("省"), {}},
        {QStringLiteral("shi"), QStringLiteral("市"), {}},
    };
}

} // namespace history
