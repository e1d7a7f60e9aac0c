#pragma once
// The two bank forms without calibration of their own, as they go to paper: the construction-bank
// wire voucher (建行电汇凭证) and the agricultural-bank settlement application (农行结算业务申请书).
// Both print every field at its base position plus the global printer adjustment (dytj).

#include "printing/globaloffsets.h"
#include "vouchers/printtable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vouchers {


inline constexpr int kBankFormPageHeight = 9000; // twips
inline constexpr int kBankFormPageWidth = 15000; // twips

// What both forms print about the parties, the date and the amount.
struct BankFormFace {
    QString year, month, day;                   // Text33, Text34, Text35: the confirmed date
    QString payerName, payerAccount, payerBank; // Text3, Text22, Text30: the own company
    QString amountWords;                        // Text28
    QString payeeName, payeeAccount, payeeBank; // Text25, Text2, Text23: the customer
    QStringList cells;                          // cells[0] = Text9 (分) ... cells[10] = Text29 (亿)
    QString paymentCode;                        // Text40 (wire) or Text42 (application)
    QString purpose;                            // Text20
};

// The wire voucher adds the marks of 普通 and 加急 (Text26, Text27).
struct WireFace : BankFormFace {
    QString normalMark, urgentMark;
};

// The application adds the business type's five marks (Text4 电汇, Text5 信汇, Text6 汇票,
// Text21 本票, Text24 其它) and the method's two (Text26 普通, Text27 加急).
struct ApplicationFace : BankFormFace {
    QStringList typeMarks;
    QString normalMark, urgentMark;
};

// The business types of the application, in the order of their boxes, and the marks each prints
// at the five type positions.
QStringList applicationTypes();
QList<QStringList> applicationTypeMarks();

// The print tables at base positions, in print order.
QList<PrintField> wireFields(const WireFace &face);
QList<PrintField> applicationFields(const ApplicationFace &face);

// The whole form: page 9000 high and 15000 wide, every field moved by the global offsets
// (horizontal as stored, vertical rounded to whole twips), end of document.
void printWire(PageWriter &w, const WireFace &face, const GlobalOffsets &offsets);
void printApplication(PageWriter &w, const ApplicationFace &face, const GlobalOffsets &offsets);

} // namespace vouchers
