#include "vouchers/chequevoucher.h"

#include "text/amount.h"
#include "text/capitaldate.h"
#include "text/numbers.h"

namespace vouchers {

Voucher chequeVoucher(const ChequeEntries &e, const Offsets &offsets, const QDate &printed)
{
    Voucher v;
    v.requirements = {{key::number, e.number, QStringLiteral("请输入支票号码")},
                      {key::date, e.face.capitalYear, QStringLiteral("请确认日期")},
                      {key::amount, e.amount, QStringLiteral("请输入金额")},
                      {key::purpose, e.purpose, QStringLiteral("请输入用途")}};
    v.amount = e.amount;
    v.places = text::AmountVariant::TenPlaces;
    v.payee = e.face.payee;
    const ChequeFace face = e.face;
    v.routine = [face, offsets](PageWriter &w) { printCheque(w, face, offsets); };
    v.row = historyRow(printed, e.voucherDate, historyTypeOf(QStringLiteral("zpdy")), e.number, e.amount,
                       e.face.purpose, e.payer, {e.face.payee, e.payee.account, e.payee.bank});
    v.row.amount = text::halfWidth(e.amount); // what was typed, as ASCII
    v.row.purpose = e.face.purpose;
    v.row.payerName = e.payer.name;
    v.row.payerAccount = e.payer.account;
    v.row.payerBank = e.payer.bank;
    v.row.payeeName = e.face.payee;
    v.row.payeeAccount = e.payee.account;
    v.row.payeeBank = e.payee.bank;
    v.pdfName = QStringLiteral("支票-") + e.face.payee.trimmed();
    return v;
}

Voucher chequeFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    const Counterparty payee = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Calibration &calibration = context.calibration(QStringLiteral("mqtx.ini"), chequeKeyBoxes());
    const bool bank = calibration.isOn(kBankSwitch);
    const bool stub = calibration.isOn(kCounterfoilSwitch);
    const Counterparty own = context.ownCompany();

    ChequeEntries e;
    e.number = data.value(key::number);
    e.amount = data.value(key::amount);
    e.purpose = data.value(key::purpose);
    e.payer = {own.name, own.account, own.bank};
    e.payee = {payee.name, payee.account, payee.bank};
    ChequeFace &f = e.face;
    if (date) {
        f.year = QString::number(date->year());
        f.month = QString::number(date->month());
        f.day = QString::number(date->day());
        f.capitalYear = text::capitalYear(date->year());
        f.capitalMonth = text::capitalMonth(date->month()).value_or(QString());
        f.capitalDay = text::capitalDay(date->day()).value_or(QString());
        e.voucherDate = historyDate(*date);
    } else {
        e.voucherDate = QStringLiteral("//");
    }
    f.counterfoilPayee = stub ? payee.name : QString();
    f.counterfoilAmount = stub ? text::currencyText(e.amount) : QString();
    f.counterfoilPurpose = stub ? e.purpose : QString();
    f.payee = payee.name;
    f.bank = bank ? own.bank : QString();
    f.account = bank ? own.account : QString();
    f.amountWords = amountWords(e.amount, text::AmountVariant::TenPlaces, kChequeCells);
    f.cells = amountCells(e.amount, text::AmountVariant::TenPlaces, kChequeCells);
    f.purpose = e.purpose;
    f.counterfoil = stub;
    return chequeVoucher(e, calibration.values(), context.today());
}

} // namespace vouchers
