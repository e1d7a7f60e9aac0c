#include "app/backdrop.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace app {

// Twips / 15 of the category slots 0..9 (slot 8 is ours: the voucher category).
const int Backdrop::kSlotTops[10] = {120, 144, 176, 208, 232, 264, 288, 320, 348, 376};

Backdrop::Backdrop(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(false);
    // Every pixel is painted here (the gradient fills the whole rectangle), so the window need
    // not fill its background under it first: a full-screen fill saved at every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(20, 110, 60));
    sky.setColorAt(0.35, QColor(60, 160, 90));
    sky.setColorAt(1.0, QColor(190, 230, 200));
    p.fillRect(rect(), sky);

    // The band under the title.
    QLinearGradient band(0, 72, 0, 96);
    band.setColorAt(0.0, QColor(10, 80, 40));
    band.setColorAt(1.0, QColor(30, 120, 65));
    p.fillRect(QRect(0, 72, width(), 24), band);

    // The product title at the top left.
    QFont title(QStringLiteral("宋体"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 50, 20, 120));
    p.drawText(QPoint(26, 52), QStringLiteral("蓝石竞技通"));
    p.setPen(Qt::white);
    p.drawText(QPoint(24, 50), QStringLiteral("蓝石竞技通"));
    QFont sub(QStringLiteral("宋体"));
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(225, 245, 230));
    p.drawText(QPoint(214, 50), QStringLiteral("票据打印 · 斯诺克计分"));

    // The white panel with ten ruled slots for the categories.
    const QRect panel(20, 108, 100, 292);
    QPainterPath path;
    path.addRoundedRect(panel, 6, 6);
    p.fillPath(path, Qt::white);
    p.setPen(QPen(QColor(40, 120, 70), 1));
    p.drawPath(path);
    p.setPen(QPen(QColor(200, 225, 205), 1));
    for (int i = 0; i < 10; ++i) {
        const int rule = kSlotTops[i] + 21;
        if (rule < panel.bottom() - 2)
            p.drawLine(panel.left() + 8, rule, panel.right() - 8, rule);
    }
}

} // namespace app
