#include "vouchers/amountblock.h"

#include <QLineEdit>

namespace vouchers {

AmountBlock::AmountBlock(QLineEdit *amount, QLineEdit *words, QList<QLineEdit *> cells,
                         text::AmountVariant variant, QObject *parent)
    : QObject(parent), m_amount(amount), m_words(words), m_cells(std::move(cells)), m_variant(variant)
{
    // textChanged, not textEdited: an amount set by the program converts too.
    connect(m_amount, &QLineEdit::textChanged, this, &AmountBlock::convert);
}

void AmountBlock::convert()
{
    const QString amountText = m_amount->text();
    const text::AmountDisplay d = text::convertAmount(amountText, m_variant, int(m_cells.size()));
    m_words->setText(d.words);
    if (d.cellsChanged)
        for (int k = 0; k < m_cells.size(); ++k)
            m_cells[k]->setText(k < d.cells.size() ? d.cells[k] : QString());
    if (m_afterChange)
        m_afterChange(amountText);
}

QStringList AmountBlock::cellTexts() const
{
    QStringList texts;
    for (const QLineEdit *cell : m_cells)
        texts << cell->text();
    return texts;
}

} // namespace vouchers
