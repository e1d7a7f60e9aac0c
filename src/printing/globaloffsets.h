#pragma once
// The global printer adjustment of table dytj: one horizontal and one vertical offset that shift
// the whole of the construction-bank wire voucher and the agricultural-bank application.

#include <QString>

namespace store { class DataSource; }

namespace printing {

// djpzup holds the horizontal offset and djpzleft the vertical one, whatever the names say.
inline const QString kHorizontalOffsetColumn = QStringLiteral("djpzup");
inline const QString kVerticalOffsetColumn = QStringLiteral("djpzleft");

// The two stored texts (twips), as the first row of dytj holds them.
struct GlobalOffsets {
    QString horizontalText;
    QString verticalText;

    // What a print adds: the horizontal offset as stored, the vertical one rounded to whole
    // twips (halves to even); a text that holds no number counts as 0.
    double horizontal() const;
    double vertical() const;
};

// Reads the first row of a data source on dytj; empty texts when it has no row.
GlobalOffsets readGlobalOffsets(store::DataSource &dytj);

} // namespace printing
