#include "vouchers/cheque.h"

#include "printing/pagewriter.h"

namespace vouchers {

const QList<KeyBox> &chequeKeyBoxes()
{
    // The counterfoil date boxes do not follow the others' numbering: Text62 holds the up/down
    // shift of text90, Text60 and Text61 the month and day of text91 and text92.
    static const QList<KeyBox> table = {
        {QStringLiteral("text1"), QStringLiteral("Text71"), false},
        {QStringLiteral("text31"), QStringLiteral("Text72"), false},
        {QStringLiteral("text73"), QStringLiteral("Text42"), false},
        {QStringLiteral("text74"), QStringLiteral("Text46"), false},
        {QStringLiteral("text75"), QStringLiteral("Text44"), false},
        {QStringLiteral("text76"), QStringLiteral("Text45"), false},
        {QStringLiteral("text77"), QStringLiteral("Text47"), false},
        {QStringLiteral("text78"), QStringLiteral("Text48"), false},
        {QStringLiteral("text79"), QStringLiteral("Text49"), false},
        {QStringLiteral("text80"), QStringLiteral("Text50"), false},
        {QStringLiteral("text81"), QStringLiteral("Text51"), false},
        {QStringLiteral("text82"), QStringLiteral("Text52"), false},
        {QStringLiteral("text83"), QStringLiteral("Text53"), false},
        {QStringLiteral("text84"), QStringLiteral("Text54"), false},
        {QStringLiteral("text85"), QStringLiteral("Text55"), false},
        {QStringLiteral("text86"), QStringLiteral("Text56"), false},
        {QStringLiteral("text87"), QStringLiteral("Text57"), false},
        {QStringLiteral("text88"), QStringLiteral("Text58"), false},
        {QStringLiteral("text89"), QStringLiteral("Text59"), false},
        {QStringLiteral("text90"), QStringLiteral("Text62"), false},
        {QStringLiteral("text91"), QStringLiteral("Text60"), false},
        {QStringLiteral("text92"), QStringLiteral("Text61"), false},
        {QStringLiteral("text93"), QStringLiteral("Text63"), false},
        {QStringLiteral("text94"), QStringLiteral("Text64"), false},
        {QStringLiteral("text95"), QStringLiteral("Text65"), false},
        {QStringLiteral("text96"), QStringLiteral("Text66"), false},
        {QStringLiteral("text97"), QStringLiteral("Text67"), false},
        {QStringLiteral("text98"), QStringLiteral("Text68"), false},
        {QStringLiteral("text99"), QStringLiteral("Text69"), true},
        {QStringLiteral("text100"), QStringLiteral("Text70"), true},
    };
    return table;
}

QList<PrintField> chequeFields(const ChequeFace &f)
{
    auto k = [](const char *key) { return QString::fromLatin1(key); };
    // The counterfoil's date stays in its fields for the history row, so the switch decides here.
    const QString year = f.counterfoil ? f.year : QString();
    const QString month = f.counterfoil ? f.month : QString();
    const QString day = f.counterfoil ? f.day : QString();
    QList<PrintField> rows = {
        {1556, k("text89"), 2666, k("text90"), 9, year},
        {2246, k("text91"), 2666, k("text90"), 9, month},
        {2746, k("text92"), 2666, k("text90"), 9, day},
        {5596, k("text73"), 916, k("text74"), 9, f.capitalYear},
        {6776, k("text75"), 916, k("text74"), 9, f.capitalMonth},
        {7596, k("text76"), 916, k("text74"), 9, f.capitalDay},
        {1396, k("text93"), 2966, k("text94"), 6, f.counterfoilPayee},
        {1396, k("text95"), 3266, k("text96"), 9, f.counterfoilAmount},
        {1396, k("text97"), 3566, k("text98"), 9, f.counterfoilPurpose},
        {4636, k("text77"), 1216, k("text78"), 9, f.payee},
        {9846, k("text79"), 916, k("text80"), 9, f.bank},
        {9846, k("text81"), 1216, k("text82"), 9, f.account},
        {4896, k("text83"), 1616, k("text84"), 9, f.amountWords},
        {4546, k("text87"), 2216, k("text88"), 9, f.purpose},
    };
    // The place each text has on the form: to the next field on its line, the counterfoil's texts
    // to the cheque's left edge (4546), or to the form's right edge (16000).
    setSpace(rows[6], QStringLiteral("副联收款人"), 4546 - 1396);
    setSpace(rows[7], QStringLiteral("副联金额"), 4546 - 1396);
    setSpace(rows[8], QStringLiteral("副联用途"), 4546 - 1396);
    setSpace(rows[9], QStringLiteral("收款人"), 9846 - 4636);
    setSpace(rows[10], QStringLiteral("付款行名称"), kChequePageWidth - 9846);
    setSpace(rows[11], QStringLiteral("出票人账号"), kChequePageWidth - 9846);
    setSpace(rows[13], QStringLiteral("用途"), kChequePageWidth - 4546);
    // The cells from 千万 (left) to 分 share one pair of offsets.
    for (int left = 0; left < kChequeCells; ++left) {
        const int cell = kChequeCells - 1 - left;
        rows.append({10046.0 + 220.0 * left, k("text85"), 1816, k("text86"), 9,
                     cell < f.cells.size() ? f.cells[cell] : QString()});
    }
    return rows;
}

void printCheque(PageWriter &w, const ChequeFace &face, const Offsets &offsets)
{
    const Overall overall = overallOffsets(offsets, kChequeX0, kChequeY0);
    printFields(w, kChequePageHeight, kChequePageWidth, overall.x, overall.y, chequeFields(face), offsets);
}

} // namespace vouchers
