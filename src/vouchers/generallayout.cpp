#include "vouchers/generallayout.h"

#include "store/statements.h"
#include "text/numbers.h"

#include <QLineEdit>
#include <QStyle>

namespace vouchers {

const QStringList &generalLayoutColumns()
{
    static const QStringList columns = {
        "rqnl",     "rqnu",     "rqyl",   "rqyu",   "rqrl",   "rqru",   "hkrqcl",  "hkrqcu",  "hkrzhhl", "hkrzhhu",
        "hcshengl", "hcshengu", "hcshil", "hcshiu", "hchmcl", "hchmcu", "skrqcl",  "skrqcu",  "skrzhhl", "skrzhhu",
        "hrshengl", "hrshengu", "hrshil", "hrshiu", "hrhmcl", "hrhmcu", "jedxl",   "jedxu",   "jexxl",   "jexxu",
        "zhmml",    "zhmmu",    "ytl",    "ytu",    "zhtl",   "zhtu",   "mmjg",    "jexxjg",
    };
    return columns;
}

QString wholeMillimetreText(const QString &stored)
{
    return QString::number(text::wholeMillimetres(text::leadingNumber(stored)));
}

GeneralLayout::GeneralLayout(store::Connection &connection) : m_row(connection)
{
    m_row.setStatement(store::statements::generalLayout());
}

bool GeneralLayout::load()
{
    m_stored.clear();
    if (!m_row.refresh()) {
        m_error = m_row.errorText();
        return false;
    }
    m_row.moveFirst();
    for (const QString &column : generalLayoutColumns()) {
        const QString value = m_row.hasRow() ? m_row.text(column) : QString();
        m_stored.insert(column, value.isEmpty() ? QStringLiteral("0") : value);
    }
    return true;
}

Offsets GeneralLayout::offsets() const
{
    Offsets out;
    for (const QString &column : generalLayoutColumns())
        out.insert(column, text::leadingNumber(stored(column)));
    return out;
}

Offsets GeneralLayout::typedOffsets() const
{
    Offsets out = offsets();
    for (const auto &[box, column] : std::as_const(m_boxes))
        if (m_shown.edited(box))
            out.insert(column, text::leadingNumber(box->text()) * text::kTwipsPerMm);
    return out;
}

QList<QWidget *> GeneralLayout::boxes() const
{
    QList<QWidget *> out;
    for (const auto &[box, column] : m_boxes)
        out << box;
    return out;
}

void GeneralLayout::bind(const QWidget *window, const QList<LayoutBox> &boxes)
{
    for (const LayoutBox &b : boxes)
        if (auto *box = window->findChild<QLineEdit *>(b.box))
            m_boxes.append({box, b.column});
}

void GeneralLayout::show()
{
    for (const auto &[box, column] : std::as_const(m_boxes)) {
        box->setText(wholeMillimetreText(stored(column)));
        m_shown.noteShown(box);
    }
}

void GeneralLayout::take()
{
    for (const auto &[box, column] : std::as_const(m_boxes)) {
        if (!m_shown.edited(box))
            continue;
        m_stored.insert(column, text::formatNumber(text::leadingNumber(box->text()) * text::kTwipsPerMm));
        m_shown.noteShown(box); // what it shows now stands for what is stored now
    }
}

bool GeneralLayout::save()
{
    m_row.refresh();
    m_row.moveFirst();
    if (!m_row.hasRow())
        m_row.addNew(); // the table has lost its row: saving puts the one row back
    for (const QString &column : generalLayoutColumns()) {
        if (!m_row.setValue(column, stored(column).trimmed())) {
            m_error = m_row.errorText();
            m_row.cancelUpdate();
            return false;
        }
    }
    if (!m_row.update()) {
        m_error = m_row.errorText();
        m_row.cancelUpdate();
        return false;
    }
    return true;
}

void GeneralLayout::setLocked(bool locked)
{
    for (const auto &[box, column] : std::as_const(m_boxes)) {
        box->setReadOnly(locked);
        box->style()->unpolish(box);
        box->style()->polish(box);
    }
}

} // namespace vouchers
