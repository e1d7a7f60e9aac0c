#include "vouchers/noticevoucher.h"

#include "text/numbers.h"

namespace vouchers {

Voucher noticeVoucher(const NoticeEntries &e, const Offsets &offsets, const QDate &printed)
{
    Voucher v;
    v.requirements = {{key::number, e.number, QStringLiteral("请输入单号")},
                      {key::date, e.face.year, QStringLiteral("请确认日期")},
                      {key::amount, e.amount, QStringLiteral("请输入金额")},
                      {key::purpose, e.purpose, QStringLiteral("请输入用途")}};
    v.amount = e.amount;
    v.payee = e.face.payeeName;
    const NoticeFace face = e.face;
    v.routine = [face, offsets](PageWriter &w) { printNotice(w, face, offsets); };
    v.row = historyRow(printed, e.voucherDate, historyTypeOf(QStringLiteral("jkddy")), e.number, e.amount,
                       e.face.purpose, {e.face.payerName, e.face.payerAccount, e.face.payerBank},
                       {e.face.payeeName, e.face.payeeAccount, e.face.payeeBank});
    v.pdfName = QStringLiteral("交款单-") + e.face.payerName.trimmed();
    return v;
}

Voucher noticeFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    const Counterparty payer = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Counterparty own = context.ownCompany();
    NoticeEntries e;
    NoticeFace &f = e.face;
    if (date) {
        f.year = QString::number(date->year());
        f.month = QString::number(date->month());
        f.day = QString::number(date->day());
        e.voucherDate = historyDate(*date);
    } else {
        e.voucherDate = QStringLiteral("//");
    }
    f.payerName = payer.name;
    f.payerAccount = payer.account;
    f.payerBank = payer.bank;
    f.payeeName = own.name;
    f.payeeAccount = own.account;
    f.payeeBank = own.bank;
    e.number = data.value(key::number);
    e.amount = data.value(key::amount);
    f.amountWords = amountWords(e.amount, text::AmountVariant::ElevenPlaces, kNoticeCells);
    f.cells = amountCells(e.amount, text::AmountVariant::ElevenPlaces, kNoticeCells);
    f.billKind = data.value(key::billKind);
    f.address = data.value(key::address);
    e.purpose = data.value(key::purpose);
    f.purpose = e.purpose;
    f.remark = data.value(key::remark);
    return noticeVoucher(e, context.calibration(QStringLiteral("jkddy.ini"), noticeKeyBoxes()).values(),
                         context.today());
}

} // namespace vouchers
