#pragma once
// Enter-key chains and other single-key focus moves between the fields of a window.

#include <QList>
#include <QWidget>
#include <functional>

namespace ui {

// Pressing key in from moves the focus to to (a field or a button; a button is focused, not pressed).
void focusOnKey(QWidget *from, int key, QWidget *to);

// Runs action when key is pressed in from; the key is consumed.
void onKey(QWidget *from, int key, std::function<void()> action);

// Enter (Return or the keypad's Enter) in each widget moves the focus to the next one.
void enterChain(const QList<QWidget *> &chain);

} // namespace ui
