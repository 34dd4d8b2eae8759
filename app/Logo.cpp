#include "app/Logo.h"

#include "core/platform/Platform.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

QPixmap makeLogo(int height)
{
    const qreal dpr = 2.0;
    QPixmap pixmap(QSize(height * 3, height) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = height * 0.42;
    const QPointF centre(height * 0.5, height * 0.5);

    // Clock face with the 24 hour ticks of a time switch dial.
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), height * 0.05));
    p.setBrush(QColor(0xf4, 0xf8, 0xfc));
    p.drawEllipse(centre, r, r);
    for (int tick = 0; tick < 24; ++tick) {
        const qreal angle = tick * 15.0 * M_PI / 180.0;
        const qreal inner = tick % 6 == 0 ? r * 0.72 : r * 0.84;
        p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), tick % 6 == 0 ? height * 0.03 : height * 0.015));
        p.drawLine(centre + QPointF(qSin(angle) * inner, -qCos(angle) * inner),
                   centre + QPointF(qSin(angle) * r * 0.92, -qCos(angle) * r * 0.92));
    }
    // Hands at 8:30, the start of a school day.
    p.setPen(QPen(QColor(0xd0, 0x3a, 0x2f), height * 0.045, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(qSin(M_PI * 2 * 8.5 / 12) * r * 0.45, -qCos(M_PI * 2 * 8.5 / 12) * r * 0.45));
    p.drawLine(centre, centre + QPointF(0, r * 0.7));

    QFont font(Platform::windowFontFamily());
    font.setBold(true);
    font.setPixelSize(int(height * 0.42));
    p.setFont(font);
    p.setPen(QColor(0x1f, 0x4e, 0x8c));
    p.drawText(QRectF(height * 1.05, 0, height * 2, height * 0.62), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("WZ/QX"));
    font.setBold(false);
    font.setPixelSize(int(height * 0.2));
    p.setFont(font);
    p.drawText(QRectF(height * 1.07, height * 0.64, height * 2, height * 0.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("TIME SWITCH"));
    return pixmap;
}
