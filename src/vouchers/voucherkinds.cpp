#include "vouchers/voucherdata.h"

#include "text/numbers.h"
#include "vouchers/bankformvoucher.h"
#include "vouchers/chequevoucher.h"
#include "vouchers/depositvoucher.h"
#include "vouchers/generalvoucher.h"
#include "vouchers/noticevoucher.h"
#include "vouchers/wirewindow.h"
#include "vouchers/noticewindow.h"
#include "vouchers/depositwindow.h"
#include "vouchers/settlementwindow.h"
#include "vouchers/generalwirewindow.h"
#include "vouchers/chequewindow.h"
#include "vouchers/customformstore.h"

#include <QRegularExpression>

namespace vouchers {

namespace {

const QString kWhenUnknown = QStringLiteral("客户资料中没有该单位时必填");

QList<ListColumn> common(const QString &customer, const QStringList &customerAliases, const QString &number,
                         const QStringList &numberAliases)
{
    return {
        {customer, customerAliases, key::counterparty, true, QStringLiteral("客户名称，与客户资料中的名称完全相同")},
        {QStringLiteral("账号"), {QStringLiteral("帐号")}, key::account, false, kWhenUnknown},
        {QStringLiteral("开户行"), {QStringLiteral("开户银行"), QStringLiteral("开户行名称")}, key::bank, false,
         kWhenUnknown},
        {QStringLiteral("金额"), {QStringLiteral("小写金额")}, key::amount, true, QStringLiteral("单位：元，最多两位小数")},
        {QStringLiteral("日期"), {QStringLiteral("出票日期"), QStringLiteral("委托日期"), QStringLiteral("申请日期"),
                                 QStringLiteral("开票日期")},
         key::date, true, QStringLiteral("如 2010-04-14")},
        {QStringLiteral("用途"), {QStringLiteral("款项用途")}, key::purpose, true, QString()},
        {number, numberAliases, key::number, true, QString()},
    };
}

template <typename Window>
std::function<VoucherWindow *(QWidget *)> maker()
{
    return [](QWidget *parent) { return new Window(parent); };
}

} // namespace

QString VoucherKind::captionOf(const QString &dataKey) const
{
    for (const ListColumn &c : columns)
        if (c.key == dataKey)
            return c.caption;
    return dataKey;
}

const QList<VoucherKind> &voucherKinds()
{
    static const QList<VoucherKind> kinds = [] {
        const QStringList payee = {QStringLiteral("收款人名称"), QStringLiteral("收款单位")};
        const QStringList number = {QStringLiteral("凭证号")};
        QList<VoucherKind> k;
        k.append({QStringLiteral("zpdy"), QStringLiteral("支票"), QStringLiteral("收款人"), QStringLiteral("支票"),
                  QStringLiteral("Command10"), QStringLiteral("pjdyc01"),
                  common(QStringLiteral("收款人"), payee, QStringLiteral("支票号码"), number), maker<ChequeWindow>(),
                  chequeFromData});
        k.append({QStringLiteral("jzddy"), QStringLiteral("进账单"), QStringLiteral("付款人"), QStringLiteral("进账单"),
                  QStringLiteral("Command12"), QStringLiteral("pjdyc02"),
                  common(QStringLiteral("付款人"), {QStringLiteral("汇款人"), QStringLiteral("付款人名称")},
                         QStringLiteral("票据号码"), number)
                      + QList<ListColumn>{{QStringLiteral("票据种类"), {}, key::billKind, false,
                                           QStringLiteral("不填为“支票”")},
                                          {QStringLiteral("票据张数"), {}, key::billCount, false,
                                           QStringLiteral("不填为 1")}},
                  maker<DepositWindow>(), depositFromData});
        k.append({QStringLiteral("jhdhpz"), QStringLiteral("建行电汇"), QStringLiteral("收款人"), QStringLiteral("建行电汇"),
                  QStringLiteral("Command11"), QStringLiteral("pjdyc03"),
                  common(QStringLiteral("收款人"), payee, QStringLiteral("凭证号"), {QStringLiteral("凭证号码")})
                      + QList<ListColumn>{{QStringLiteral("汇款方式"), {}, key::method, false,
                                           QStringLiteral("普通或加急，不填为普通")},
                                          {QStringLiteral("支付密码"), {}, key::paymentCode, false,
                                           QStringLiteral("只打印，不记录")}},
                  maker<WireWindow>(), wireFromData});
        k.append({QStringLiteral("tydhpz"), QStringLiteral("通用电汇"), QStringLiteral("收款人"), QStringLiteral("汇款凭证"),
                  QStringLiteral("Command13"), QStringLiteral("pjdyc04"),
                  common(QStringLiteral("收款人"), payee, QStringLiteral("凭证号"), {QStringLiteral("凭证号码")})
                      + QList<ListColumn>{{QStringLiteral("支付密码"), {}, key::paymentCode, false,
                                           QStringLiteral("只打印，不记录")},
                                          {QStringLiteral("汇入省"), {QStringLiteral("省/市")}, key::province, false,
                                           QStringLiteral("客户资料中没有该单位时使用")},
                                          {QStringLiteral("汇入市"), {QStringLiteral("市/县")}, key::city, false,
                                           QStringLiteral("客户资料中没有该单位时使用")}},
                  maker<GeneralWireWindow>(), generalFromData});
        k.append({QStringLiteral("nhjsywsqs"), QStringLiteral("农行申请书"), QStringLiteral("收款人"),
                  QStringLiteral("农行申请书"), QStringLiteral("Command8"), QStringLiteral("pjdyc05"),
                  common(QStringLiteral("收款人"), payee, QStringLiteral("申请书号码"), number)
                      + QList<ListColumn>{{QStringLiteral("业务类型"), {}, key::businessType, false,
                                           QStringLiteral("电汇、信汇、汇票、本票或其它，不填为电汇")},
                                          {QStringLiteral("汇款方式"), {}, key::method, false,
                                           QStringLiteral("普通或加急，不填为普通")},
                                          {QStringLiteral("支付密码"), {}, key::paymentCode, false,
                                           QStringLiteral("只打印，不记录")}},
                  maker<SettlementWindow>(), applicationFromData});
        k.append({QStringLiteral("jkddy"), QStringLiteral("交款单"), QStringLiteral("交款人"), QStringLiteral("交款单"),
                  QStringLiteral("Command4"), QStringLiteral("pjdyc06"),
                  common(QStringLiteral("交款人"), {QStringLiteral("付款人")}, QStringLiteral("单号"), number)
                      + QList<ListColumn>{{QStringLiteral("票据种类"), {}, key::billKind, false, QString()},
                                          {QStringLiteral("单位地址"), {}, key::address, false, QString()},
                                          {QStringLiteral("备注"), {}, key::remark, false, QString()}},
                  maker<NoticeWindow>(), noticeFromData});
        return k;
    }();
    return kinds;
}

const VoucherKind *findVoucherKind(const QString &name)
{
    const QString n = name.trimmed();
    for (const VoucherKind &k : voucherKinds())
        if (k.window.compare(n, Qt::CaseInsensitive) == 0 || k.name == n)
            return &k;
    for (const VoucherKind *k : customVoucherKinds())
        if (k->window.compare(n, Qt::CaseInsensitive) == 0 || k->name == n)
            return k;
    return nullptr;
}

QString historyTypeOf(const QString &window)
{
    const VoucherKind *k = findVoucherKind(window);
    return k ? k->historyType : QString();
}

std::optional<QDate> listDate(const QString &cell)
{
    const QString s = text::halfWidth(cell).trimmed();
    static const QRegularExpression parts(QStringLiteral("^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch m = parts.match(s);
    if (!m.hasMatch())
        m = compact.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid() || d.year() < 1000)
        return std::nullopt;
    return d;
}

bool numbersOwnForms(const VoucherKind &kind)
{
    // A deposit slip, and a form of one's own on which the customer pays, carries the number of
    // the customer's instrument, not one of the own company's forms.
    if (kind.window.startsWith(QLatin1String("zdy")))
        return kind.customer != QStringLiteral("付款人");
    return kind.window != QLatin1String("jzddy");
}

namespace {
bool ownCompanyPays(const VoucherKind &kind) { return kind.customer == QStringLiteral("收款人"); }
} // namespace

store::HistoryKey historyKeyOf(const VoucherKind &kind)
{
    return {kind.historyType, ownCompanyPays(kind) ? QStringLiteral("fkrzhh") : QStringLiteral("skrzhh")};
}

QString ownAccountOf(const VoucherKind &kind, const HistoryRow &row)
{
    return ownCompanyPays(kind) ? row.payerAccount : row.payeeAccount;
}

} // namespace vouchers
