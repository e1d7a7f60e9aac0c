#include "snooker/compactwidgets.h"

#include <QFontMetrics>

namespace snooker {

QSize CaptionButton::sizeHint() const
{
    const QSize styled = QPushButton::sizeHint();
    const QFontMetrics fm(font());
    // One em of padding keeps the caption clear of the bevel; the extra height gives the operator,
    // who presses these all match long, a bigger target.
    const int width = fm.horizontalAdvance(text()) + fm.height();
    const int height = qMax(styled.height(), fm.height() * 2);
    return {qMin(styled.width(), qMax(width, height)), height};
}

QSize CaptionButton::minimumSizeHint() const
{
    return sizeHint();
}

QSize ScoreCell::sizeHint() const
{
    const QSize styled = QLineEdit::sizeHint();
    const QFontMetrics fm(font());
    // The style's hint is seventeen 'x' plus margins and frame; keep the margins and frame.
    const int chrome = styled.width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return {chrome + fm.horizontalAdvance(QStringLiteral("00000")), styled.height()};
}

QSize ScoreCell::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace snooker
