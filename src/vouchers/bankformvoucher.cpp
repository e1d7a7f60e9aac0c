#include "vouchers/bankformvoucher.h"

#include "text/numbers.h"
#include "vouchers/typeddate.h"

namespace vouchers {

namespace {

Voucher bankFormVoucher(const BankFormFace &face, const BankFormEntries &e, const QString &numberMessage,
                        const QString &historyType, PrintRoutine routine, const QDate &printed)
{
    Voucher v;
    v.requirements = {{key::number, e.number, numberMessage},
                      {key::date, face.year, QStringLiteral("请确认日期")},
                      {key::amount, e.amount, QStringLiteral("请输入金额")},
                      {key::purpose, face.purpose, QStringLiteral("请输入用途")}};
    // The confirmed date goes into the history: one that is not a real date would be refused
    // there after the paper is printed.
    if (!e.confirmed)
        v.refusal = Requirement{key::date, QString(), TypedDate::wrongDateMessage()};
    v.amount = e.amount;
    v.payee = face.payeeName;
    v.routine = std::move(routine);
    const QString voucherDate = e.confirmed ? historyDate(*e.confirmed) : QString(); // the date on the paper
    v.row = historyRow(printed, voucherDate, historyType, e.number, e.amount, face.purpose,
                       {face.payerName, face.payerAccount, face.payerBank},
                       {face.payeeName, face.payeeAccount, face.payeeBank});
    v.pdfName = historyType + QLatin1Char('-') + face.payeeName.trimmed();
    return v;
}

// What both forms take from a list row.
BankFormFace baseFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems,
                          BankFormEntries &e)
{
    const Counterparty payee = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Counterparty own = context.ownCompany();
    BankFormFace f;
    if (date) {
        f.year = QString::number(date->year());
        f.month = QString::number(date->month());
        f.day = QString::number(date->day());
    }
    e.confirmed = date;
    e.number = data.value(key::number);
    e.amount = data.value(key::amount);
    f.payerName = own.name;
    f.payerAccount = own.account;
    f.payerBank = own.bank;
    f.amountWords = amountWords(e.amount, text::AmountVariant::ElevenPlaces, 11);
    f.payeeName = payee.name;
    f.payeeAccount = payee.account;
    f.payeeBank = payee.bank;
    f.cells = amountCells(e.amount, text::AmountVariant::ElevenPlaces, 11);
    f.paymentCode = data.value(key::paymentCode);
    f.purpose = data.value(key::purpose);
    return f;
}

// 普通 (0, also when empty) or 加急 (1); a problem for anything else.
int methodOf(const VoucherData &data, QList<DataProblem> &problems)
{
    const QString method = data.value(key::method).trimmed();
    if (method.isEmpty() || method == QStringLiteral("普通"))
        return 0;
    if (method == QStringLiteral("加急"))
        return 1;
    problems.append({key::method, QStringLiteral("汇款方式“%1”不对，只能是“普通”或“加急”").arg(method)});
    return 0;
}

} // namespace

QString tickMark(bool ticked) { return ticked ? QStringLiteral("√") : QStringLiteral(" "); }

Voucher wireVoucher(const WireFace &face, const BankFormEntries &e, const GlobalOffsets &offsets, const QDate &printed)
{
    return bankFormVoucher(
        face, e, QStringLiteral("请输入凭证号"), historyTypeOf(QStringLiteral("jhdhpz")),
        [face, offsets](PageWriter &w) { printWire(w, face, offsets); }, printed);
}

Voucher applicationVoucher(const ApplicationFace &face, const BankFormEntries &e, const GlobalOffsets &offsets,
                           const QDate &printed)
{
    return bankFormVoucher(
        face, e, QStringLiteral("请输入申请书号码"), historyTypeOf(QStringLiteral("nhjsywsqs")),
        [face, offsets](PageWriter &w) { printApplication(w, face, offsets); }, printed);
}

Voucher wireFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    BankFormEntries e;
    const BankFormFace base = baseFromData(data, context, problems, e);
    const int method = methodOf(data, problems);
    WireFace f;
    static_cast<BankFormFace &>(f) = base;
    f.normalMark = tickMark(method == 0);
    f.urgentMark = tickMark(method == 1);
    return wireVoucher(f, e, context.globalOffsets(), context.today());
}

Voucher applicationFromData(const VoucherData &data, ListContext &context, QList<DataProblem> &problems)
{
    BankFormEntries e;
    const BankFormFace base = baseFromData(data, context, problems, e);
    const int method = methodOf(data, problems);
    const QString type = data.value(key::businessType).trimmed();
    qsizetype typeIndex = type.isEmpty() ? 0 : applicationTypes().indexOf(type);
    if (typeIndex < 0) {
        problems.append({key::businessType, QStringLiteral("业务类型“%1”不对，只能是%2之一")
                                                .arg(type, applicationTypes().join(QStringLiteral("、")))});
        typeIndex = 0;
    }
    ApplicationFace f;
    static_cast<BankFormFace &>(f) = base;
    f.typeMarks = applicationTypeMarks().value(int(typeIndex));
    f.normalMark = tickMark(method == 0);
    f.urgentMark = tickMark(method == 1);
    return applicationVoucher(f, e, context.globalOffsets(), context.today());
}

} // namespace vouchers
