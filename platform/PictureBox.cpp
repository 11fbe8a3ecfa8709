#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

PictureBox::PictureBox(QWidget* parent, Scale scale) : QWidget(parent), m_scale(scale)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas = QImage(1, 1, QImage::Format_RGB32);
    m_canvas.fill(m_backColor);
}

float PictureBox::toScale(qreal pixels) const
{
    return static_cast<float>(m_scale == Scale::Twips ? pixels * TwipsPerPixel : pixels);
}

int PictureBox::toPixels(float units) const
{
    return m_scale == Scale::Twips ? static_cast<int>(std::floor(units / TwipsPerPixel))
                                   : static_cast<int>(std::floor(units));
}

int PictureBox::Width() const
{
    return m_scale == Scale::Twips ? width() * TwipsPerPixel : width();
}

int PictureBox::Height() const
{
    return m_scale == Scale::Twips ? height() * TwipsPerPixel : height();
}

void PictureBox::setWidth(int nWidth)
{
    const int px = m_scale == Scale::Twips ? nWidth / TwipsPerPixel : nWidth;
    setFixedWidth(std::max(px, 0));
    resize(std::max(px, 0), height());
}

void PictureBox::setHeight(int nHeight)
{
    const int px = m_scale == Scale::Twips ? nHeight / TwipsPerPixel : nHeight;
    setFixedHeight(std::max(px, 0));
    resize(width(), std::max(px, 0));
}

void PictureBox::setBackColor(const QColor& color)
{
    m_backColor = color;
}

void PictureBox::PaintPicture(const QImage& img, float x, float y)
{
    QPainter painter(&m_canvas);
    painter.drawImage(QPoint(toPixels(x), toPixels(y)), img);
    update();
}

void PictureBox::BitBlt(const QImage& src, int sx, int sy, int w, int h, int dx, int dy, RasterOp rop)
{
    QPainter painter(&m_canvas);
    switch (rop) {
    case SRCAND:
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SRCPAINT:
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case SRCCOPY:
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        break;
    }
    painter.drawImage(QPoint(dx, dy), src.convertToFormat(QImage::Format_RGB32), QRect(sx, sy, w, h));
    update();
}

void PictureBox::Cls()
{
    m_canvas.fill(m_backColor);
    update();
}

void PictureBox::Refresh()
{
    emit Paint();
    repaint();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_canvas);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    // Keep what was drawn: the canvas only grows or shrinks around it.
    const QSize size = event->size().expandedTo(QSize(1, 1));
    if (size != m_canvas.size()) {
        QImage grown(size, QImage::Format_RGB32);
        grown.fill(m_backColor);
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), m_canvas);
        painter.end();
        m_canvas = std::move(grown);
    }
    QWidget::resizeEvent(event);
}

int PictureBox::buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int PictureBox::shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    m_clickPending = true;
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                   toScale(event->position().x()), toScale(event->position().y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()),
                 toScale(event->position().x()), toScale(event->position().y()));
    // A click is a press and release of the box, not one released elsewhere.
    if (m_clickPending && rect().contains(event->position().toPoint()))
        emit Click();
    m_clickPending = false;
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                   toScale(event->position().x()), toScale(event->position().y()));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double-click arrives as DblClick alone, never as MouseDown.
    m_clickPending = false;
    emit DblClick();
}
