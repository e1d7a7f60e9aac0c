#pragma once
// What every window of the program does without being told: it opens centred over the window
// that opened it and inside the screen, Escape leaves it as its exit button does, and its date
// pickers show the program's one date form.

#include <QObject>
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
