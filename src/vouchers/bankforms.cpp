#include "vouchers/bankforms.h"

#include "printing/pagewriter.h"

namespace vouchers {

namespace {

PrintField at(double x, double y, const QString &text) { return PrintField{x, {}, y, {}, 9, text}; }

QString cellFromLeft(const BankFormFace &f, int k) { return f.cells.value(10 - k); }

void printForm(PageWriter &w, const QList<PrintField> &fields, const GlobalOffsets &offsets)
{
    printFields(w, kBankFormPageHeight, kBankFormPageWidth, offsets.horizontal(), offsets.vertical(), fields, {});
}

} // namespace

QStringList applicationTypes()
{
    return {QStringLiteral("电汇"), QStringLiteral("信汇"), QStringLiteral("汇票"), QStringLiteral("本票"),
            QStringLiteral("其它")};
}

QList<QStringList> applicationTypeMarks()
{
    // 电汇 puts its tick in its own field; every other type empties that field and writes its
    // tick with a blank beside it into its own.
    const QString b = QStringLiteral(" ");
    return {
        {QStringLiteral("√"), b, b, b, b},
        {QString(), QStringLiteral("√ "), b, b, b},
        {QString(), b, QStringLiteral(" √"), b, b},
        {QString(), b, b, QStringLiteral("√ "), b},
        {QString(), b, b, b, QStringLiteral("√ ")},
    };
}

QList<PrintField> wireFields(const WireFace &f)
{
    QList<PrintField> rows = {
        at(730, 933, f.normalMark),    at(2416, 933, f.urgentMark),
        at(4473, 875, f.year),         at(5405, 875, f.month),         at(6047, 875, f.day),
        at(1924, 1283, f.payerName),   at(1924, 1749, f.payerAccount), at(1924, 2215, f.payerBank),
        at(1924, 2624, f.amountWords), at(6880, 1283, f.payeeName),    at(6880, 1749, f.payeeAccount),
        at(6880, 2215, f.payeeBank),
    };
    // The cells stand where the form has them, not at one step.
    static const double cellX[] = {7346, 7637, 7929, 8220, 8512, 8803, 9095, 9386, 9678, 9969, 10261};
    for (int k = 0; k < 11; ++k)
        rows.append(at(cellX[k], 2915, cellFromLeft(f, k)));
    rows.append(at(6646, 3381, f.paymentCode));
    rows.append(at(6705, 4081, f.purpose));
    // The place each text has: to the next field on its line or to the form's edge (15000).
    for (int i : {5, 6, 7})
        setSpace(rows[i], QStringList{"汇款人全称", "汇款人账号", "汇出行名称"}[i - 5], 6880 - 1924);
    for (int i : {9, 10, 11})
        setSpace(rows[i], QStringList{"收款人全称", "收款人账号", "汇入行名称"}[i - 9], kBankFormPageWidth - 6880);
    setSpace(rows[23], QStringLiteral("支付密码"), kBankFormPageWidth - 6646);
    setSpace(rows[24], QStringLiteral("附加信息及用途"), kBankFormPageWidth - 6705);
    return rows;
}

QList<PrintField> applicationFields(const ApplicationFace &f)
{
    QList<PrintField> rows = {
        at(2136, 640, f.year),
        at(2982, 640, f.month),
        at(3828, 640, f.day),
        at(2136, 992, f.typeMarks.value(0)),
        at(2778, 992, f.typeMarks.value(1)),
        at(4586, 992, f.typeMarks.value(2)),
        at(6336, 992, f.typeMarks.value(3)),
        at(2116, 1283, f.typeMarks.value(4)),
        at(8670, 1050, f.normalMark),
        at(9603, 1050, f.urgentMark),
        at(2595, 1458, f.payerName),
        at(2595, 1808, f.payerAccount),
        at(2595, 2158, f.payerBank),
        at(2815, 2625, f.amountWords),
        at(7320, 1458, f.payeeName),
        at(7320, 1808, f.payeeAccount),
        at(7320, 2158, f.payeeBank),
        at(6933, 3206, f.paymentCode),
        at(6933, 3678, f.purpose),
    };
    for (int k = 0; k < 11; ++k)
        rows.append(at(7850 + 220.0 * k, 2800, cellFromLeft(f, k)));
    for (int i : {10, 11, 12})
        setSpace(rows[i], QStringList{"申请人全称", "申请人账号", "申请人开户行"}[i - 10], 7320 - 2595);
    for (int i : {14, 15, 16})
        setSpace(rows[i], QStringList{"收款人全称", "收款人账号", "收款人开户行"}[i - 14], kBankFormPageWidth - 7320);
    setSpace(rows[17], QStringLiteral("支付密码"), kBankFormPageWidth - 6933);
    setSpace(rows[18], QStringLiteral("附加信息及用途"), kBankFormPageWidth - 6933);
    return rows;
}

void printWire(PageWriter &w, const WireFace &face, const GlobalOffsets &offsets)
{
    printForm(w, wireFields(face), offsets);
}

void printApplication(PageWriter &w, const ApplicationFace &face, const GlobalOffsets &offsets)
{
    printForm(w, applicationFields(face), offsets);
}

} // namespace vouchers
