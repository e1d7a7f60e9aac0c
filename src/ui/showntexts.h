#pragma once
// What the program last showed in its boxes, so that a save can tell the boxes the clerk edited
// from those that show a stored value rounded: a box left as shown keeps its stored value exactly.

#include <QHash>
#include <QLineEdit>
#include <QString>

namespace ui {

class ShownTexts {
public:
    // Notes what the box shows now, as the program put it there.
    void noteShown(const QLineEdit *box) { m_texts.insert(box, box->text()); }
    // The box holds something else than the program last showed (or it never showed anything).
    bool edited(const QLineEdit *box) const
    {
        const auto it = m_texts.constFind(box);
        return it == m_texts.constEnd() || *it != box->text();
    }

private:
    QHash<const QLineEdit *, QString> m_texts;
};

} // namespace ui
