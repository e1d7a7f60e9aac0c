#pragma once
// The general wire voucher (通用电汇凭证) as it goes to paper: every field at its base position
// plus the columns of the general layout (tydysz), all without a window.

#include "vouchers/calibration.h"
#include "vouchers/printtable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vouchers {


// The texts of the voucher window, named after the fields that show them.
struct GeneralFace {
    QString year, month, day;                    // Text33, Text34, Text35
    QString payerName, payerAccount;             // Text3, Text22: the own company
    QString payerProvince, payerCity;            // Text4, Text5: 汇出地点
    QString payerBank;                           // Text30
    QString amountWords;                         // Text28
    QString payeeName, payeeAccount;             // Text25, Text2: the customer
    QString payeeProvince, payeeCity;            // Text6, Text21: 汇入地点
    QString payeeBank;                           // Text23
    QString password;                            // Text40: printed, never stored
    QString purpose;                             // Text20
    QStringList cells;                           // cells[0] = Text9 (分) ... cells[10] = Text29 (亿)
};

inline constexpr int kGeneralPageHeight = 9000;  // twips
inline constexpr int kGeneralPageWidth = 15000;  // twips

// The 27 lines of the print table at base positions with their layout columns, in print order.
QList<PrintField> generalFields(const GeneralFace &face);

// The whole voucher: page 9000 high and 15000 wide; x = zhtl + base + the line's x column,
// y = the line's y column + (zhtu rounded to whole twips, halves to even) + base; cell k from the
// left adds k × jexxjg. Every line is printed, also an empty one. End of document.
void printGeneral(PageWriter &w, const GeneralFace &face, const Offsets &layout);

} // namespace vouchers
