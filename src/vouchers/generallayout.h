#pragma once
// The calibration row of the general wire voucher (table tydysz): 38 columns of stored twips
// that the voucher adds to its base positions. The settings form and the voucher's own settings
// tab edit it through this one piece.

#include "store/datasource.h"
#include "ui/showntexts.h"
#include "vouchers/calibration.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QLineEdit;
class QWidget;

namespace store { class Connection; }

namespace vouchers {

// The 38 columns in the order they are read and written.
const QStringList &generalLayoutColumns();

// A box of a window that edits one column, by object name.
struct LayoutBox {
    QString box;
    QString column;
};

// What a box shows for a stored value: whole millimetres rounded down (114 -> "2",
// 142.5 -> "2", -28.5 -> "-1").
QString wholeMillimetreText(const QString &stored);

class GeneralLayout {
public:
    explicit GeneralLayout(store::Connection &connection);

    // Reads the row; a missing row reads as zeros. False (and errorText()) when it cannot be read.
    bool load();
    QString errorText() const { return m_error; }

    // The stored texts by column, and the numbers a print adds.
    QString stored(const QString &column) const { return m_stored.value(column, QStringLiteral("0")); }
    Offsets offsets() const;
    // The offsets with every bound box's typed value in place of its column's stored one.
    Offsets typedOffsets() const;

    // The boxes that show columns; a column may have none.
    void bind(const QWidget *window, const QList<LayoutBox> &boxes);
    // Every bound box shows its column in whole millimetres.
    void show();
    // Every bound box's leading number × 57, as exact decimal text ("142.5", "114"), becomes its
    // column's stored value; columns without a box keep theirs, and so do the boxes the clerk left
    // as shown: a stored 142.5 shown as "2" stays 142.5.
    void take();
    // Writes all 38 columns (blanks trimmed) into the row, adding the row when the table has none,
    // and commits. False (and errorText()) when the database refused it.
    bool save();

    void setLocked(bool locked);
    QList<QWidget *> boxes() const;

private:
    store::DataSource m_row;
    QHash<QString, QString> m_stored;
    QList<std::pair<QLineEdit *, QString>> m_boxes;
    ui::ShownTexts m_shown;
    QString m_error;
};

} // namespace vouchers
