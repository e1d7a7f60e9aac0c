#pragma once
// What every window of the program does without being told: it opens centred over the window
// that opened it and inside the screen, Escape leaves it as its exit button does, and its date
// pickers show the program's one date form.

#include <QObject>
#include <QList>
#include <QRect>

class QAbstractButton;
class QWidget;

namespace ui {

// Where a window whose frame is frame opens: centred over the opener's frame, shrunk to the
// screen's available area when larger, and moved into it.
QRect placeOver(const QRect &frame, const QRect &opener, const QRect &screen);

// Moves (and when it is larger than the screen, shrinks) window to placeOver() its opener,
// taking the size of its frame from the opener's.
void placeOverOpener(QWidget *window, QWidget *opener);

// Where a window opens that must leave some of its opener's controls in sight (keep, inside the
// opener; empty: the whole opener): beside the opener where the screen has room for minimum;
// else the opener moves towards an edge of the screen, as little as will do, and the window takes
// the room beside keep, over the rest of the opener; where neither fits, as placeOver(). All
// rectangles are frames.
struct SideBySide {
    QRect opener;
    QRect window;
};
SideBySide placeBeside(const QSize &wanted, const QSize &minimum, const QRect &opener, const QRect &keep,
                       const QRect &screen);

// Shows window where placeBeside() puts it, moving the opener if need be; keep are controls of
// the opener (on any of its pages) to leave in sight.
void showBeside(QWidget *window, QWidget *opener, const QList<QWidget *> &keep);

// The button whose click Escape stands for in window: the first visible and enabled button
// captioned 退出, else the first captioned 取消; nullptr when there is none.
QAbstractButton *escapeButton(QWidget *window);

// Installed on the application once, by the main window. A window of the program (any widget
// window but dialogs, which place themselves and take Escape as their cancel, and popups):
// - when shown, opens over the window its parent belongs to, unless its own code has placed it;
// - Escape that no control of it takes presses its escapeButton(), or closes it as the title
//   bar's close button does;
// - its date pickers show dates as ui::dateText does, weeks beginning on Monday.
class WindowHabits : public QObject {
    Q_OBJECT
public:
    explicit WindowHabits(QObject *parent = nullptr);
    ~WindowHabits() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace ui
