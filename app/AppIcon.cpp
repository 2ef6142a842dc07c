#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Draws the icon on a square of side pixels, in a 32 × 32 design grid. At 16
// pixels the strokes are drawn wider in the grid so they stay a pixel or more.
QPixmap DrawIcon(int side) {
    const bool small = side < 32;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 32.0, side / 32.0);

    // The map tile: green land with a blue river.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xcf, 0xe8, 0xc0));
    painter.drawPath(tile);
    painter.save();
    painter.setClipPath(tile);
    QPainterPath river;
    river.moveTo(0, 20);
    river.cubicTo(10, 14, 18, 26, 32, 17);
    painter.setPen(QPen(QColor(0x4a, 0x8c, 0xd8), small ? 3.0 : 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(river);
    painter.restore();
    painter.setPen(QPen(QColor(0x2e, 0x5e, 0x3a), small ? 2.0 : 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tile);

    // The waypoint flag.
    painter.setPen(QPen(QColor(0x40, 0x30, 0x20), small ? 2.5 : 2.0));
    painter.drawLine(QPointF(9, 27), QPointF(9, 4));
    QPainterPath flag;
    flag.moveTo(9, 4);
    flag.lineTo(25, 8.5);
    flag.lineTo(9, 13);
    flag.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd8, 0x2a, 0x2a));
    painter.drawPath(flag);

    // The left arrow that goes before names beginning with a letter or digit.
    painter.setPen(QPen(QColor(0x10, 0x10, 0x60), small ? 3.5 : 2.5, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawLine(QPointF(28, 25), QPointF(15, 25));
    painter.drawLine(QPointF(15, 25), QPointF(19.5, 20.5));
    painter.drawLine(QPointF(15, 25), QPointF(19.5, 29.5));
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    icon.addPixmap(DrawIcon(32));
    icon.addPixmap(DrawIcon(16));
    return icon;
}
