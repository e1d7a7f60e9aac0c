#include "vouchers/customvoucher.h"

#include "store/appdir.h"
#include "text/amount.h"
#include "text/numbers.h"
#include "vouchers/customformwindow.h"

namespace vouchers {

QString noteKey(const QString &caption) { return QStringLiteral("note:") + caption; }
QString tickKey(const QString &group) { return QStringLiteral("tick:") + group; }

QString customCalibrationFile(const CustomForm &form) { return form.window() + QStringLiteral(".ini"); }

namespace {
bool printsDate(const CustomForm &form)
{
    for (FieldKind k : {FieldKind::Date, FieldKind::Year, FieldKind::Month, FieldKind::Day, FieldKind::CapitalYear,
                        FieldKind::CapitalMonth, FieldKind::CapitalDay})
        if (form.has(k))
            return true;
    return false;
}
} // namespace

Voucher customVoucher(const CustomForm &form, const CustomEntries &e, const Offsets &offsets, const QDate &printed)
{
    const CustomFace &f = e.face;
    Voucher v;
    if (form.has(FieldKind::Number))
        v.requirements.append({key::number, f.number, QStringLiteral("请输入凭证号")});
    if (printsDate(form))
        v.requirements.append({key::date, f.date, QStringLiteral("请确认日期")});
    v.requirements.append({key::amount, f.amount, QStringLiteral("请输入金额")});
    if (form.has(FieldKind::Purpose))
        v.requirements.append({key::purpose, f.purpose, QStringLiteral("请输入用途")});
    // A run of cells shorter than the amount would print it without its highest digits.
    const std::optional<qint64> fen = text::parseFen(f.amount);
    for (const CustomField &field : form.fields)
        if (field.kind == FieldKind::AmountCells && fen && *fen > 0
            && QString::number(*fen).size() > field.cells) {
            v.refusal = Requirement{key::amount, QString(),
                                    QStringLiteral("金额的位数多于凭证上的 %1 个金额格").arg(field.cells)};
            break;
        }
    v.amount = f.amount;
    v.places = text::AmountVariant::ElevenPlaces;
    v.payee = f.partyName;
    const CustomForm shown = form;
    const CustomFace face = f;
    v.routine = [shown, face, offsets](PageWriter &w) { printCustomForm(w, shown, face, offsets); };
    const Party own{f.ownName, f.ownAccount, f.ownBank};
    const Party party{f.partyName, f.partyAccount, f.partyBank};
    const bool ownPays = form.role != kRolePayer;
    v.row = historyRow(printed, e.voucherDate, form.name, f.number, f.amount, f.purpose, ownPays ? own : party,
                       ownPays ? party : own);
    v.pdfName = form.name + QLatin1Char('-') + f.partyName.trimmed();
    return v;
}

Voucher customFromData(const CustomForm &form, const VoucherData &data, ListContext &context,
                       QList<DataProblem> &problems)
{
    const Counterparty party = context.counterparty(data, problems);
    const std::optional<QDate> date = ListContext::date(data, problems);
    const Counterparty own = context.ownCompany();
    CustomEntries e;
    CustomFace &f = e.face;
    f.ownName = own.name;
    f.ownAccount = own.account;
    f.ownBank = own.bank;
    f.ownProvince = own.province;
    f.ownCity = own.city;
    f.partyName = party.name;
    f.partyAccount = party.account;
    f.partyBank = party.bank;
    f.partyProvince = party.province;
    f.partyCity = party.city;
    f.amount = data.value(key::amount);
    if (date) {
        setFaceDate(f, *date);
        e.voucherDate = historyDate(*date);
    } else {
        e.voucherDate = QStringLiteral("//");
    }
    f.purpose = data.value(key::purpose);
    f.number = data.value(key::number);
    f.password = data.value(key::paymentCode);
    for (const QString &caption : form.noteCaptions())
        f.notes.insert(caption, data.value(noteKey(caption)));
    for (const QString &group : form.tickGroups()) {
        const QString choice = data.value(tickKey(group)).trimmed();
        const QStringList choices = form.choicesOf(group);
        if (!choice.isEmpty() && !choices.contains(choice))
            problems.append({tickKey(group), QStringLiteral("“%1”应为%2之一").arg(group, choices.join(QStringLiteral("、")))});
        else
            f.choices.insert(group, choice);
    }
    const Calibration &calibration = context.calibration(customCalibrationFile(form), form.calibrationKeys());
    return customVoucher(form, e, calibration.values(), context.today());
}

QList<ListColumn> customColumns(const CustomForm &form)
{
    const QString party = form.role == kRolePayer ? kRolePayer : kRolePayee;
    const QString unknown = QStringLiteral("客户资料中没有该单位时必填");
    QList<ListColumn> c = {
        {party, {party + QStringLiteral("名称"), party + QStringLiteral("户名")}, key::counterparty, true,
         QStringLiteral("客户名称，与客户资料中的名称完全相同")},
        {QStringLiteral("账号"), {QStringLiteral("帐号")}, key::account, false, unknown},
        {QStringLiteral("开户行"), {QStringLiteral("开户银行")}, key::bank, false, unknown},
    };
    if (form.has(FieldKind::PartyProvince))
        c.append({QStringLiteral("省"), {QStringLiteral("所在省")}, key::province, false,
                  QStringLiteral("客户资料中没有该单位时使用")});
    if (form.has(FieldKind::PartyCity))
        c.append({QStringLiteral("市"), {QStringLiteral("所在市")}, key::city, false,
                  QStringLiteral("客户资料中没有该单位时使用")});
    c.append({QStringLiteral("金额"), {QStringLiteral("小写金额")}, key::amount, true,
              QStringLiteral("单位：元，最多两位小数")});
    c.append({QStringLiteral("日期"), {}, key::date, printsDate(form), QStringLiteral("如 2010-04-14")});
    c.append({QStringLiteral("用途"), {QStringLiteral("款项用途")}, key::purpose, form.has(FieldKind::Purpose), QString()});
    c.append({QStringLiteral("凭证号"), {QStringLiteral("凭证号码")}, key::number, form.has(FieldKind::Number), QString()});
    if (form.has(FieldKind::Password))
        c.append({QStringLiteral("支付密码"), {}, key::paymentCode, false, QStringLiteral("只打印，不记录")});
    for (const QString &caption : form.noteCaptions())
        c.append({caption, {}, noteKey(caption), false, QString()});
    for (const QString &group : form.tickGroups())
        c.append({group, {}, tickKey(group), false, form.choicesOf(group).join(QStringLiteral("、"))});
    return c;
}

VoucherKind customKind(const CustomForm &form)
{
    VoucherKind k;
    k.window = form.window();
    k.name = form.name;
    k.customer = form.role == kRolePayer ? kRolePayer : kRolePayee;
    k.historyType = form.name;
    k.columns = customColumns(form);
    const CustomForm held = form;
    k.make = [held](QWidget *parent) -> VoucherWindow * { return new CustomFormWindow(held, parent); };
    k.fromData = [held](const VoucherData &data, ListContext &context, QList<DataProblem> &problems) {
        return customFromData(held, data, context, problems);
    };
    return k;
}

} // namespace vouchers
