#include "vouchers/depositvoucher.h"

#include "text/amount.h"
#include "text/numbers.h"

namespace vouchers {

Voucher depositVoucher(const DepositEntries &e, const Offsets &offsets, const QDate &printed)
{
    Voucher v;
    v.requirements = {{key::date, e.face.year, QStringLiteral("请确认日期")},
                      {key::amount, e.amount, QStringLiteral("请输入金额")},
                      {key::purpose, e.purpose, QStringLiteral("请输入用途")},
                      {key::number, e.number, QStringLiteral("请输入票据号码")}};
    v.amount = e.amount;
    v.payee = e.face.payeeName;
    const DepositFace face = e.face;
    v.routine = [face, offsets](PageWriter &w) { printDeposit(w, face, offsets); };
    v.row = historyRow(printed, e.voucherDate, historyTypeOf(QStringLiteral("jzddy")), e.face.billNumber, e.amount,
                       e.face.purpose, {e.face.remitterName, e.face.remitterAccount, e.face.remitterBank},
                       {e.face.payeeName, e.face.payeeAccount, e.face.payeeBank});
    v.pdfName = QStringLiteral("进账单-") + e.face.remitterName.trimmed();
    return v;
}

Voucher depositFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    const Counterparty payer = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Counterparty own = context.ownCompany();
    DepositEntries e;
    DepositFace &f = e.face;
    if (date) {
        f.year = QString::number(date->year());
        f.month = QString::number(date->month());
        f.day = QString::number(date->day());
        e.voucherDate = historyDate(*date);
    } else {
        e.voucherDate = QStringLiteral("//");
    }
    f.remitterName = payer.name;
    f.remitterAccount = payer.account;
    f.remitterBank = payer.bank;
    f.payeeName = own.name;
    f.payeeAccount = own.account;
    f.payeeBank = own.bank;
    e.amount = data.value(key::amount);
    f.amountWords = amountWords(e.amount, text::AmountVariant::ElevenPlaces, kDepositCells);
    f.cells = amountCells(e.amount, text::AmountVariant::ElevenPlaces, kDepositCells);
    const QString kind = data.value(key::billKind);
    f.billKind = kind.isEmpty() ? QStringLiteral("支票") : kind;
    e.number = data.value(key::number);
    f.billNumber = e.number;
    const QString count = data.value(key::billCount);
    f.billCount = count.isEmpty() ? QStringLiteral("1") : count;
    e.purpose = data.value(key::purpose);
    f.purpose = e.purpose;
    return depositVoucher(e, context.calibration(QStringLiteral("jzddy.ini"), depositKeyBoxes()).values(),
                          context.today());
}

} // namespace vouchers
