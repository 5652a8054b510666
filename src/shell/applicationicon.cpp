#include "shell/applicationicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace shell {

namespace {

QPixmap drawIcon(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0, 0, side, side);
    QPainterPath rounded;
    rounded.addRoundedRect(tile, side * 0.18, side * 0.18);
    painter.fillPath(rounded, QColor(0x1f, 0x5f, 0x8b));

    // Three bars rising from left to right, standing on one base line.
    const qreal margin = side * 0.2;
    const qreal base = side - margin;
    const qreal width = (side - 2 * margin) / 4.0;
    const qreal heights[] = {0.3, 0.45, 0.6};
    for (int bar = 0; bar < 3; ++bar) {
        const qreal height = side * heights[bar];
        painter.fillRect(QRectF(margin + bar * width * 1.5, base - height, width, height), QColor(0xf2, 0xf5, 0xf8));
    }
    return pixmap;
}

}  // namespace

QIcon applicationIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64})
        icon.addPixmap(drawIcon(side));
    return icon;
}

}  // namespace shell
