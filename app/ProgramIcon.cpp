#include "app/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64 × 64 grid.
    painter.scale(size / 64.0, size / 64.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    painter.setBrush(QColor(0xfb, 0xfa, 0xf5));
    painter.drawRoundedRect(QRectF(13, 9, 38, 46), 4, 4);

    for (int row = 0; row < 3; ++row) {
        qreal y = 16 + 12 * row;
        painter.setPen(QPen(QColor(0x40, 0x40, 0x48), 1.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(18, y, 8, 8));
        painter.setPen(QPen(QColor(0xa0, 0xa8, 0xb4), 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(30, y + 4), QPointF(row == 1 ? 40 : 45, y + 4));
    }

    QPainterPath tick;
    tick.moveTo(17, 19);
    tick.lineTo(22, 25);
    tick.lineTo(31, 11);
    painter.setPen(QPen(QColor(0xd9, 0x30, 0x25), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
