#pragma once
// The payment notice (交款通知单) as it goes to plain paper: the whole form drawn twice per sheet,
// a main copy and a second copy below it, each with its own offsets.

#include "vouchers/calibration.h"
#include "vouchers/printtable.h"

#include <QLineF>
#include <QList>
#include <QString>
#include <QStringList>

namespace vouchers {


// The texts of the notice window, named after the fields that show them.
struct NoticeFace {
    QString year, month, day;                   // Text33, Text34, Text35
    QString payerName, payerAccount, payerBank; // Text3, Text22, Text30: the customer
    QString amountWords;                        // Text28
    QString payeeName, payeeAccount, payeeBank; // Text25, Text2, Text23: the own company
    QStringList cells; // cells[0] = Text9 (分) ... cells[10] = Text29 (亿)
    QString billKind;  // Text21
    QString address;   // Text24
    QString purpose;   // Text20
    QString remark;    // Text26
};

inline constexpr int kNoticeCells = 11;
// Where the second copy starts below the main one, in twips.
inline constexpr double kNoticeSecondCopyY = 6270;

// Calibration keys of the notice (jkddy.ini) and the boxes of its settings tab.
const QList<KeyBox> &noticeKeyBoxes();

// The two separator lines across the sheet (where it is cut), drawn once: at 456 and 6270 twips,
// each moved up or down by its own setting (间隔线一 "text38", 间隔线二 "text39").
QList<QLineF> noticeSeparators(const Offsets &offsets = {});
// The 26 lines of one copy's frame at base positions, in drawing order.
QList<QLineF> noticeFrame();
// The texts of one copy at base positions, in printing order: labels and data, the title in 15
// points, everything else in 9.
QList<PrintField> noticeTexts(const NoticeFace &face);

// The whole sheet, without a page size (the printer's own paper): the separators, the main copy
// shifted by (text1, text31), the second copy by (text27, 6270 + text32 rounded to whole twips,
// halves to even). Every text is printed, also an empty one. End of document.
void printNotice(PageWriter &w, const NoticeFace &face, const Offsets &offsets);

} // namespace vouchers
