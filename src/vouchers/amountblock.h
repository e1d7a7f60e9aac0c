#pragma once
// A voucher's amount block: the amount field drives the capital words and the digit cells on
// every change, typed or set by the program.

#include "text/amount.h"

#include <QList>
#include <QObject>

#include <functional>

class QLineEdit;

namespace vouchers {

class AmountBlock : public QObject {
    Q_OBJECT
public:
    // cells[0] is the 分 cell, cells[1] 角, cells[2] 元 and so on up to the highest place.
    AmountBlock(QLineEdit *amount, QLineEdit *words, QList<QLineEdit *> cells, text::AmountVariant variant,
                QObject *parent = nullptr);

    // Runs after every conversion with the amount text, for what the voucher shows besides the
    // words and cells (the cheque's counterfoil amount).
    void setAfterChange(std::function<void(const QString &)> afterChange) { m_afterChange = std::move(afterChange); }

    // Converts the amount field's current text.
    void convert();
    // What the cells show, cells[0] the 分 cell.
    QStringList cellTexts() const;

private:
    QLineEdit *m_amount;
    QLineEdit *m_words;
    QList<QLineEdit *> m_cells;
    text::AmountVariant m_variant;
    std::function<void(const QString &)> m_afterChange;
};

} // namespace vouchers
