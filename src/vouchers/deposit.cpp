#include "vouchers/deposit.h"

#include "printing/pagewriter.h"

namespace vouchers {

const QList<KeyBox> &depositKeyBoxes()
{
    // Several rows share a key: the year's up/down moves the whole date, the remitter's
    // left/right its three lines, the payee's its three lines, and the remitter's three up/downs
    // the payee's lines beside them.
    static const QList<KeyBox> table = {
        {QStringLiteral("text1"), QStringLiteral("Text57"), false},
        {QStringLiteral("text31"), QStringLiteral("Text58"), false},
        {QStringLiteral("text27"), QStringLiteral("Text42"), false},
        {QStringLiteral("text32"), QStringLiteral("Text46"), false},
        {QStringLiteral("text36"), QStringLiteral("Text44"), false},
        {QStringLiteral("text37"), QStringLiteral("Text45"), false},
        {QStringLiteral("text38"), QStringLiteral("Text47"), false},
        {QStringLiteral("text39"), QStringLiteral("Text48"), false},
        {QStringLiteral("text40"), QStringLiteral("Text49"), false},
        {QStringLiteral("text41"), QStringLiteral("Text50"), false},
        {QStringLiteral("text59"), QStringLiteral("Text61"), false},
        {QStringLiteral("text60"), QStringLiteral("Text51"), false},
        {QStringLiteral("text62"), QStringLiteral("Text52"), false},
        {QStringLiteral("text64"), QStringLiteral("Text67"), false},
        {QStringLiteral("text69"), QStringLiteral("Text68"), false},
        {QStringLiteral("text80"), QStringLiteral("Text66"), false},
        {QStringLiteral("text70"), QStringLiteral("Text53"), false},
        {QStringLiteral("text73"), QStringLiteral("Text54"), false},
        {QStringLiteral("text74"), QStringLiteral("Text71"), false},
        {QStringLiteral("text75"), QStringLiteral("Text72"), false},
        {QStringLiteral("text76"), QStringLiteral("Text55"), false},
        {QStringLiteral("text77"), QStringLiteral("Text56"), false},
        {QStringLiteral("text78"), QStringLiteral("Text63"), false},
        {QStringLiteral("text79"), QStringLiteral("Text65"), false},
    };
    return table;
}

QList<PrintField> depositFields(const DepositFace &f)
{
    auto k = [](const char *key) { return QString::fromLatin1(key); };
    QList<PrintField> rows = {
        {4166, k("text27"), 525, k("text32"), 9, f.year},
        {5241, k("text36"), 525, k("text32"), 9, f.month},
        {5925, k("text37"), 525, k("text32"), 9, f.day},
        {1675, k("text38"), 816, k("text39"), 9, f.remitterName},
        {1675, k("text38"), 1166, k("text40"), 9, f.remitterAccount},
        {1675, k("text38"), 1516, k("text41"), 9, f.remitterBank},
        {1575, k("text60"), 2316, k("text62"), 9, f.amountWords},
        {6066, k("text59"), 816, k("text39"), 9, f.payeeName},
        {6066, k("text59"), 1166, k("text40"), 9, f.payeeAccount},
        {6066, k("text59"), 1516, k("text41"), 9, f.payeeBank},
    };
    // Cell k from the left (亿) stands 292 twips plus k gaps (text80) right of the first.
    for (int left = 0; left < kDepositCells; ++left) {
        const int cell = kDepositCells - 1 - left;
        rows.append({6508.0 + 292.0 * left, k("text64"), 2450, k("text69"), 9,
                     cell < f.cells.size() ? f.cells[cell] : QString(), k("text80"), left});
    }
    rows.append({1575, k("text70"), 2850, k("text73"), 9, f.billKind});
    rows.append({2575, k("text74"), 2850, k("text75"), 9, f.billNumber});
    rows.append({1575, k("text76"), 3250, k("text77"), 9, f.billCount});
    rows.append({2575, k("text78"), 3250, k("text79"), 9, f.purpose});
    // The place each text has: to the next field on its line or to the form's edge (15000).
    for (int i : {3, 4, 5})
        setSpace(rows[i], QStringList{"付款人名称", "付款人账号", "汇出行名称"}[i - 3], 6066 - 1675);
    for (int i : {7, 8, 9})
        setSpace(rows[i], QStringList{"收款人名称", "收款人账号", "汇入行名称"}[i - 7], kDepositPageWidth - 6066);
    setSpace(rows[21], QStringLiteral("票据种类"), 2575 - 1575);
    setSpace(rows[22], QStringLiteral("票据号码"), kDepositPageWidth - 2575);
    setSpace(rows[23], QStringLiteral("票据张数"), 2575 - 1575);
    setSpace(rows[24], QStringLiteral("用途"), kDepositPageWidth - 2575);
    return rows;
}

void printDeposit(PageWriter &w, const DepositFace &face, const Offsets &offsets)
{
    const Overall overall = overallOffsets(offsets, kDepositX0, kDepositY0);
    printFields(w, kDepositPageHeight, kDepositPageWidth, overall.x, overall.y, depositFields(face), offsets);
}

} // namespace vouchers
