#pragma once
// Buttons and text boxes that ask only for the room their content needs.

#include <QLineEdit>
#include <QPushButton>

namespace snooker {

// A push button as wide as its caption: the style's 80-pixel minimum would make the board's
// twelve short-captioned buttons in one row wider than a 1024-pixel screen.
class CaptionButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

// A frame cell wide enough for a frame score rather than for seventeen characters of text.
class ScoreCell : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace snooker
