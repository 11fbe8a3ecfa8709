#include "NotifyPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace {
QPixmap blank(int size)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
}

namespace NotifyPictures {

QPixmap searchPicture(int size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // Lens: a pale glass in a dark blue rim; handle: a thick brown bar.
    const QRectF lens(s * 0.12, s * 0.10, s * 0.52, s * 0.52);
    p.setPen(QPen(QColor(30, 70, 150), s * 0.10));
    p.setBrush(QColor(210, 232, 255));
    p.drawEllipse(lens);
    p.setPen(QPen(QColor(255, 255, 255, 200), s * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(lens.adjusted(s * 0.09, s * 0.09, -s * 0.09, -s * 0.09), 100 * 16, 70 * 16);
    p.setPen(QPen(QColor(120, 72, 30), s * 0.16, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.60, s * 0.58), QPointF(s * 0.86, s * 0.86));
    return pixmap;
}

QPixmap togglePicture(int size)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QColor green(20, 130, 60);
    const QRectF ring(s * 0.16, s * 0.16, s * 0.68, s * 0.68);
    p.setPen(QPen(green, s * 0.12, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 20 * 16, 140 * 16);
    p.drawArc(ring, 200 * 16, 140 * 16);
    // Arrow heads at the ends of the two arcs, pointing on round the circle.
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    QPainterPath head;
    head.moveTo(s * 0.96, s * 0.40);
    head.lineTo(s * 0.66, s * 0.40);
    head.lineTo(s * 0.83, s * 0.66);
    head.closeSubpath();
    p.drawPath(head);
    QPainterPath tail;
    tail.moveTo(s * 0.04, s * 0.60);
    tail.lineTo(s * 0.34, s * 0.60);
    tail.lineTo(s * 0.17, s * 0.34);
    tail.closeSubpath();
    p.drawPath(tail);
    return pixmap;
}

}
