#include "ClickLabel.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A press dragged off the label and released elsewhere is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::enterEvent(QEnterEvent* event)
{
    setUnderline(true);
    QLabel::enterEvent(event);
}

void ClickLabel::leaveEvent(QEvent* event)
{
    setUnderline(false);
    QLabel::leaveEvent(event);
}

void ClickLabel::setUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}
