#include "vouchers/ticks.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace vouchers {

namespace {
const QString kTick = QStringLiteral("√");
const QString kBlank = QStringLiteral(" ");
} // namespace

TickPair::TickPair(QCheckBox *first, QCheckBox *second, QObject *parent) : QObject(parent), m_boxes{first, second}
{
    for (int i = 0; i < 2; ++i)
        connect(m_boxes[i], &QCheckBox::clicked, this, [this, i](bool checked) { clicked(i, checked); });
}

void TickPair::tick(int which)
{
    m_ticked = which == 1 ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker quiet(m_boxes[i]);
        m_boxes[i]->setChecked(i == m_ticked);
    }
}

void TickPair::clicked(int which, bool checked) { tick(checked ? which : 1 - which); }

QString TickPair::mark(int which) const { return which == m_ticked ? kTick : kBlank; }

TickChoice::TickChoice(QList<QCheckBox *> boxes, QList<QStringList> marks, QObject *parent)
    : QObject(parent), m_boxes(std::move(boxes)), m_table(std::move(marks))
{
    for (int i = 0; i < m_boxes.size(); ++i)
        connect(m_boxes[i], &QCheckBox::clicked, this, [this, i](bool checked) { clicked(i, checked); });
}

void TickChoice::tick(int which)
{
    for (int i = 0; i < m_boxes.size(); ++i) {
        const QSignalBlocker quiet(m_boxes[i]);
        m_boxes[i]->setChecked(i == which);
    }
    m_marks = m_table.value(which);
}

void TickChoice::clicked(int which, bool checked)
{
    if (checked)
        tick(which);
    // Unticked: the box is simply empty now; the marks of the last choice stay.
}

} // namespace vouchers
