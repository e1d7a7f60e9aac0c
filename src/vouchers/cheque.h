#pragma once
// The cheque as it goes to paper: its print table, its calibration keys and the print routine,
// all without a window.

#include "vouchers/calibration.h"
#include "vouchers/printtable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vouchers {


// The texts of the cheque window's replica, named after the fields that show them.
struct ChequeFace {
    // Counterfoil (副联).
    QString year, month, day;  // Text38, Text39, Text40: plain numbers
    QString counterfoilPayee;   // Text5
    QString counterfoilAmount;  // Text29: currency text
    QString counterfoilPurpose; // Text27
    // Cheque (主联).
    QString capitalYear, capitalMonth, capitalDay; // Text33, Text34, Text35
    QString payee;       // Text25
    QString bank;        // Text3: paying bank
    QString account;     // Text22: drawer's account
    QString amountWords; // Text28
    QString purpose;     // Text20
    QStringList cells;   // cells[0] = Text9 (分) ... cells[9] = Text18 (千万)
    // The stored counterfoil switch: off, the counterfoil's date is not printed either.
    bool counterfoil = false;
};

inline constexpr int kChequePageHeight = 5000;  // twips, 88.2 mm
inline constexpr int kChequePageWidth = 16000;  // twips, 282.2 mm
inline constexpr int kChequeCells = 10;

// Calibration keys of the cheque.
inline const QString kChequeX0 = QStringLiteral("text1");  // everything, left/right
inline const QString kChequeY0 = QStringLiteral("text31"); // everything, up/down
inline const QString kBankSwitch = QStringLiteral("text99");
inline const QString kCounterfoilSwitch = QStringLiteral("text100");

// The keys of mqtx.ini and the boxes of the settings tab, in the order the keys are written.
const QList<KeyBox> &chequeKeyBoxes();

// The 24 rows of the cheque's print table, in print order.
QList<PrintField> chequeFields(const ChequeFace &face);

// The whole cheque: page 5000 x 16000 twips, the 24 rows with the overall offsets (left/right
// as stored, up/down rounded to whole twips, halves to even), end of document.
void printCheque(PageWriter &w, const ChequeFace &face, const Offsets &offsets);

} // namespace vouchers
