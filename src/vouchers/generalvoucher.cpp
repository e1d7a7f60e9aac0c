#include "vouchers/generalvoucher.h"

#include "text/numbers.h"

namespace vouchers {

Voucher generalVoucher(const GeneralEntries &e, const Offsets &layout, const QDate &printed)
{
    Voucher v;
    v.requirements = {{key::number, e.number, QStringLiteral("请输入凭证号")},
                      {key::date, e.face.year, QStringLiteral("请确认日期")},
                      {key::amount, e.amount, QStringLiteral("请输入金额")},
                      {key::purpose, e.purpose, QStringLiteral("请输入用途")}};
    v.amount = e.amount;
    v.payee = e.face.payeeName;
    const GeneralFace face = e.face;
    v.routine = [face, layout](PageWriter &w) { printGeneral(w, face, layout); };
    v.row = historyRow(printed, e.voucherDate, historyTypeOf(QStringLiteral("tydhpz")), e.number, e.amount,
                       e.face.purpose, {e.face.payerName, e.face.payerAccount, e.face.payerBank},
                       {e.face.payeeName, e.face.payeeAccount, e.face.payeeBank});
    v.pdfName = QStringLiteral("通用电汇-") + e.face.payeeName.trimmed();
    return v;
}

Voucher generalFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    const Counterparty payee = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Counterparty own = context.ownCompany();
    const bool places = text::leadingNumber(context.profileText(kGeneralPlaceProfile, kGeneralPlaceKey)) == 1.0;
    GeneralEntries e;
    GeneralFace &f = e.face;
    if (date) {
        f.year = QString::number(date->year());
        f.month = QString::number(date->month());
        f.day = QString::number(date->day());
        e.voucherDate = historyDate(*date);
    } else {
        e.voucherDate = QStringLiteral("//");
    }
    f.payerName = own.name;
    f.payerAccount = own.account;
    f.payerProvince = places ? own.province : QString();
    f.payerCity = places ? own.city : QString();
    f.payerBank = own.bank;
    e.amount = data.value(key::amount);
    f.amountWords = amountWords(e.amount, text::AmountVariant::ElevenPlaces, 11);
    f.payeeName = payee.name;
    f.payeeAccount = payee.account;
    f.payeeProvince = places ? payee.province : QString();
    f.payeeCity = places ? payee.city : QString();
    f.payeeBank = payee.bank;
    f.password = data.value(key::paymentCode);
    e.purpose = data.value(key::purpose);
    f.purpose = e.purpose;
    f.cells = amountCells(e.amount, text::AmountVariant::ElevenPlaces, 11);
    e.number = data.value(key::number);
    return generalVoucher(e, context.generalLayout(), context.today());
}

} // namespace vouchers
