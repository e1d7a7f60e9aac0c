#include "app/programicon.h"

#include "ui/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QTransform>

namespace app {

namespace {

// The shapes of an icon of side s, shared by the picture and the SVG.
struct Stone {
    explicit Stone(qreal s)
        : rect(s * 0.04, s * 0.08, s * 0.92, s * 0.84), glowCentre(rect.center() - QPointF(s * 0.18, s * 0.2)),
          glowRadius(s * 0.75), edgeWidth(qMax(1.0, s / 40.0))
    {
        body.addRoundedRect(rect, s * 0.3, s * 0.36);
        glyph = QTransform::fromScale(s / kReferenceSide, s / kReferenceSide).map(referenceGlyph());
        glyph.setFillRule(Qt::WindingFill); // strokes of a character may overlap
    }

    // The character's outline once, at a large size, for every size of the icon: a font engine
    // per size would cost the start of the program more than drawing all of them.
    static constexpr qreal kReferenceSide = 256;
    static const QPainterPath &referenceGlyph()
    {
        static const QPainterPath path = [] {
            const QRectF rect(kReferenceSide * 0.04, kReferenceSide * 0.08, kReferenceSide * 0.92,
                              kReferenceSide * 0.84);
            QFont f(ui::songFamily());
            f.setPixelSize(int(kReferenceSide * 0.56));
            f.setBold(true);
            // Centred in the stone as a text drawn with Qt::AlignCenter is.
            const QFontMetricsF m(f);
            const QString text = QStringLiteral("蓝");
            const QPointF origin(rect.center().x() - m.horizontalAdvance(text) / 2,
                                 rect.center().y() - m.height() / 2 + m.ascent());
            QPainterPath p;
            p.addText(origin, f, text);
            return p;
        }();
        return path;
    }

    QRectF rect;
    QPointF glowCentre;
    qreal glowRadius;
    qreal edgeWidth;
    QPainterPath body;
    QPainterPath glyph;
};

struct Stop {
    qreal at;
    QColor colour;
};
const Stop kGlow[] = {{0.0, QColor(120, 180, 255)}, {0.6, QColor(30, 90, 190)}, {1.0, QColor(10, 40, 110)}};
const QColor kEdge(8, 30, 80);

QString svgPathData(const QPainterPath &path)
{
    QString d;
    auto num = [](qreal v) { return QString::number(v, 'f', 2); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            // Every outline here is a closed shape.
            if (i > 0)
                d += QLatin1Char('Z');
            d += QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(end.x), num(end.y));
            i += 2;
        }
    }
    if (!d.isEmpty())
        d += QLatin1Char('Z');
    return d;
}

} // namespace

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const Stone stone(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(stone.glowCentre, stone.glowRadius);
    for (const Stop &stop : kGlow)
        g.setColorAt(stop.at, stop.colour);
    p.fillPath(stone.body, g);
    p.setPen(QPen(kEdge, stone.edgeWidth));
    p.drawPath(stone.body);
    p.fillPath(stone.glyph, Qt::white);
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

QByteArray programIconSvg()
{
    const int side = 256;
    const Stone stone(side);
    QString stops;
    for (const Stop &stop : kGlow)
        stops += QStringLiteral("      <stop offset=\"%1\" stop-color=\"%2\"/>\n").arg(stop.at).arg(stop.colour.name());
    const QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
                       "  <title>蓝石竞技通</title>\n"
                       "  <defs>\n"
                       "    <radialGradient id=\"glow\" gradientUnits=\"userSpaceOnUse\" cx=\"%2\" cy=\"%3\" r=\"%4\">\n"
                       "%5"
                       "    </radialGradient>\n"
                       "  </defs>\n"
                       "  <path d=\"%6\" fill=\"url(#glow)\" stroke=\"%7\" stroke-width=\"%8\"/>\n"
                       "  <path d=\"%9\" fill=\"#ffffff\" fill-rule=\"nonzero\"/>\n"
                       "</svg>\n")
            .arg(side)
            .arg(stone.glowCentre.x())
            .arg(stone.glowCentre.y())
            .arg(stone.glowRadius)
            .arg(stops, svgPathData(stone.body), kEdge.name())
            .arg(stone.edgeWidth)
            .arg(svgPathData(stone.glyph));
    return svg.toUtf8();
}

} // namespace app
