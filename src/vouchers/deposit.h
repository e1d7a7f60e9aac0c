#pragma once
// The deposit slip (进账单) as it goes to paper: its print table, its calibration keys and the
// print routine, all without a window.

#include "vouchers/calibration.h"
#include "vouchers/printtable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vouchers {


// The texts of the deposit slip window's replica, named after the fields that show them.
struct DepositFace {
    QString year, month, day;                            // Text33, Text34, Text35
    QString remitterName, remitterAccount, remitterBank; // Text3, Text22, Text30: the customer
    QString amountWords;                                 // Text28
    QString payeeName, payeeAccount, payeeBank;          // Text25, Text2, Text23: the own company
    QStringList cells; // cells[0] = Text9 (分) ... cells[10] = Text29 (亿)
    QString billKind;   // Text21
    QString billNumber; // Text24
    QString billCount;  // Text26
    QString purpose;    // Text20
};

inline constexpr int kDepositPageHeight = 9000;  // twips
inline constexpr int kDepositPageWidth = 15000;  // twips
inline constexpr int kDepositCells = 11;

// Calibration keys of the slip (jzddy.ini) and the boxes of its settings tab, in the order they
// are written.
const QList<KeyBox> &depositKeyBoxes();
inline const QString kDepositX0 = QStringLiteral("text1");  // everything, left/right
inline const QString kDepositY0 = QStringLiteral("text31"); // everything, up/down

// The 25 rows of the slip's print table, in print order.
QList<PrintField> depositFields(const DepositFace &face);

// The whole slip: page 9000 high and 15000 wide, the rows with the overall offsets (left/right
// as stored, up/down rounded to whole twips, halves to even), end of document.
void printDeposit(PageWriter &w, const DepositFace &face, const Offsets &offsets);

} // namespace vouchers
