#include "history/columns.h"

#include "ui/dates.h"

namespace history {

namespace {

// A date column shows its text as stored when it is not a date (an old row written by hand).
QString dateOrStored(const QVariant &v)
{
    return v.typeId() == QMetaType::QDate ? ui::dateText(v.toDate()) : v.toString();
}

} // namespace

QString fenText(qint64 fen)
{
    const QString sign = fen < 0 ? QStringLiteral("-") : QString();
    const quint64 magnitude = fen < 0 ? quint64(-(fen + 1)) + 1 : quint64(fen);
    QString yuan = QString::number(magnitude / 100);
    for (int i = int(yuan.size()) - 3; i > 0; i -= 3)
        yuan.insert(i, QLatin1Char(','));
    return sign + yuan + QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QVector<store::GridColumn> historyColumns()
{
    return {
        {QStringLiteral("dyrq"), QStringLiteral("打印日期"), &dateOrStored},
        {QStringLiteral("fkrq"), QStringLiteral("付款日期"), &dateOrStored},
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
