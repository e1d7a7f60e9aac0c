#pragma once
// The tick boxes of the bank forms: the marks they print follow the ticks.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QCheckBox;

namespace vouchers {

// Two boxes of which exactly one is ticked: ticking one unticks the other, and unticking the
// ticked one ticks the other (a plain exclusive group could not be unticked at all). The ticked
// box's mark is "√", the other's a single blank.
class TickPair : public QObject {
    Q_OBJECT
public:
    TickPair(QCheckBox *first, QCheckBox *second, QObject *parent = nullptr);

    void tick(int which); // 0: the first box, 1: the second
    int ticked() const { return m_ticked; }
    // The printed marks of the first and the second box.
    QString mark(int which) const;

private:
    void clicked(int which, bool checked);

    QCheckBox *m_boxes[2];
    int m_ticked = 0;
};

// Boxes of which at most one is ticked, each choice writing its own set of marks: ticking one
// unticks the others and sets the marks to its row; unticking one changes nothing else, so the
// marks of the last box ticked stay.
class TickChoice : public QObject {
    Q_OBJECT
public:
    // marks[i]: the texts printed for each mark position when box i is ticked.
    TickChoice(QList<QCheckBox *> boxes, QList<QStringList> marks, QObject *parent = nullptr);

    void tick(int which);
    const QStringList &marks() const { return m_marks; }

private:
    void clicked(int which, bool checked);

    QList<QCheckBox *> m_boxes;
    QList<QStringList> m_table;
    QStringList m_marks;
};

} // namespace vouchers
