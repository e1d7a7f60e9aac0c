#include "printing/pagewriter_painter.h"

#include "ui/fonts.h"

#include <QFontMetricsF>

namespace printing {

namespace {
constexpr double kTwipsPerPoint = 20;
}

PainterPageWriter::PainterPageWriter(QPainter &painter) : m_painter(painter) {}

void PainterPageWriter::setFontSize(double points)
{
    if (points > 0)
        m_points = points;
}

void PainterPageWriter::printText(const QString &text)
{
    if (text.isEmpty()) {
        m_field.clear();
        m_tooWide = false;
        return;
    }
    // Sizes are whole half points, so the size in twips is a whole number.
    QFont font(ui::songFamily());
    font.setPixelSize(qRound(m_points * kTwipsPerPoint));
    const QFontMetricsF metrics(font);
    m_painter.setFont(font);
    m_painter.drawText(QPointF(m_x, m_y + metrics.ascent()), text);
    Drawn d;
    d.rect = QRectF(m_x, m_y, metrics.horizontalAdvance(text), metrics.height());
    d.text = text;
    d.field = m_field;
    d.tooWide = m_tooWide;
    m_drawn.append(d);
    m_field.clear();
    m_tooWide = false;
}

void PainterPageWriter::line(double x1, double y1, double x2, double y2) { m_painter.drawLine(QLineF(x1, y1, x2, y2)); }

void PainterPageWriter::nextText(const QString &field, bool tooWide)
{
    m_field = field;
    m_tooWide = tooWide;
}

} // namespace printing
