#include "app/programicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace app {

namespace {
QPixmap stone(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(size * 0.04, size * 0.08, size * 0.92, size * 0.84);
    QRadialGradient g(r.center() - QPointF(size * 0.18, size * 0.2), size * 0.75);
    g.setColorAt(0.0, QColor(120, 180, 255));
    g.setColorAt(0.6, QColor(30, 90, 190));
    g.setColorAt(1.0, QColor(10, 40, 110));
    QPainterPath path;
    path.addRoundedRect(r, size * 0.3, size * 0.36);
    p.fillPath(path, g);
    p.setPen(QPen(QColor(8, 30, 80), qMax(1.0, size / 40.0)));
    p.drawPath(path);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(int(size * 0.56));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("蓝"));
    return pm;
}
} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(stone(size));
    return icon;
}

} // namespace app
