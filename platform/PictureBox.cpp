#include "PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cstring>

namespace {
constexpr QImage::Format CanvasFormat = QImage::Format_RGB32;
constexpr int CanvasBytesPerPixel = 4;
}

PictureBox::PictureBox(QWidget* parent, Scale scale) : QWidget(parent), m_scale(scale)
{
    // The canvas covers the whole box, so nothing underneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The pointer is reported over the box with or without a button held.
    setMouseTracking(true);
    // A click gives the box the focus, so that a menu or another window taking it
    // while a button is held tells the box that the release will never come.
    setFocusPolicy(Qt::ClickFocus);
    m_canvas = QImage(1, 1, CanvasFormat);
    m_canvas.fill(m_backColor);
}

PictureBox::~PictureBox() = default;

float PictureBox::toScale(qreal pixels) const
{
    return static_cast<float>(m_scale == Scale::Twips ? pixels * TwipsPerPixel : pixels);
}

int PictureBox::toPixels(float units) const
{
    // Rounded down, also left of the box. Done by hand: a library floor per call
    // is a noticeable share of drawing a full board.
    const float pixels = m_scale == Scale::Twips ? units / TwipsPerPixel : units;
    const int whole = static_cast<int>(pixels);
    return static_cast<float>(whole) > pixels ? whole - 1 : whole;
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
    const int px = std::max(m_scale == Scale::Twips ? nWidth / TwipsPerPixel : nWidth, 0);
    setFixedWidth(px);
    resize(px, height());
    // A hidden box gets its resize event only when shown; the canvas must have
    // its size now, because the owner draws the board before showing it.
    fitCanvas(size());
}

void PictureBox::setHeight(int nHeight)
{
    const int px = std::max(m_scale == Scale::Twips ? nHeight / TwipsPerPixel : nHeight, 0);
    setFixedHeight(px);
    resize(width(), px);
    fitCanvas(size());
}

void PictureBox::setBackColor(const QColor& color)
{
    // A new back colour clears the box to it, so no old colour is left behind
    // in parts of the canvas that were never drawn.
    m_backColor = color;
    Cls();
}

const QImage& PictureBox::canvas() const
{
    endPainting();
    return m_canvas;
}

QPainter& PictureBox::canvasPainter()
{
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&m_canvas);
    return *m_painter;
}

void PictureBox::endPainting() const
{
    m_painter.reset();
}

void PictureBox::canvasChanged()
{
    // A hidden box is painted in full when it is shown, so it needs no request.
    if (m_updatePending || !isVisible())
        return;
    m_updatePending = true;
    update();
}

void PictureBox::PaintPicture(const QImage& img, float x, float y)
{
    if (img.isNull())
        return;
    const QPoint at(toPixels(x), toPixels(y));
    if (img.format() == CanvasFormat) {
        // An opaque picture in the canvas's own format is drawn by copying its
        // rows, exactly as the painter would, without the painter's cost per call:
        // a full board is tens of thousands of these.
        const int left = std::max(at.x(), 0);
        const int top = std::max(at.y(), 0);
        const int right = std::min(at.x() + img.width(), m_canvas.width());
        const int bottom = std::min(at.y() + img.height(), m_canvas.height());
        if (left >= right || top >= bottom)
            return;
        endPainting();
        const qsizetype dstStride = m_canvas.bytesPerLine();
        const qsizetype srcStride = img.bytesPerLine();
        uchar* dst = m_canvas.bits() + top * dstStride + left * CanvasBytesPerPixel;
        const uchar* src = img.constBits() + (top - at.y()) * srcStride + (left - at.x()) * CanvasBytesPerPixel;
        const size_t rowBytes = static_cast<size_t>(right - left) * CanvasBytesPerPixel;
        for (int row = top; row < bottom; ++row, dst += dstStride, src += srcStride)
            std::memcpy(dst, src, rowBytes);
    } else {
        QPainter& painter = canvasPainter();
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(at, img);
    }
    canvasChanged();
}

void PictureBox::BitBlt(const QImage& src, int sx, int sy, int w, int h, int dx, int dy, RasterOp rop)
{
    // The painter is open before the source is converted, so a source that shares
    // the canvas's pixels is copied first instead of being read while drawn over.
    QPainter& painter = canvasPainter();
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
    painter.drawImage(QPoint(dx, dy), src.convertToFormat(CanvasFormat), QRect(sx, sy, w, h));
    canvasChanged();
}

void PictureBox::Cls()
{
    endPainting();
    m_canvas.fill(m_backColor);
    canvasChanged();
}

void PictureBox::Refresh()
{
    emit Paint();
    repaint();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    m_updatePending = false;
    endPainting();
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), m_canvas, area);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    fitCanvas(event->size());
    QWidget::resizeEvent(event);
}

void PictureBox::fitCanvas(QSize size)
{
    // Keep what was drawn: the canvas only grows or shrinks around it.
    size = size.expandedTo(QSize(1, 1));
    if (size == m_canvas.size())
        return;
    endPainting();
    QImage resized(size, CanvasFormat);
    resized.fill(m_backColor);
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), m_canvas);
    painter.end();
    m_canvas = std::move(resized);
    canvasChanged();
}

int PictureBox::buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= LeftButton;
    if (buttons & Qt::RightButton)
        code |= RightButton;
    if (buttons & Qt::MiddleButton)
        code |= MiddleButton;
    return code;
}

int PictureBox::shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= AltMask;
    return code;
}

// Buttons beyond left, right and middle have no code: they are not reported at
// all, so an extra side button can never count as a move on the board.

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    const int button = buttonCode(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    // A button still counted as held that the pointer no longer holds was let go
    // where the box could not see it.
    if (m_held & ~buttonCode(event->buttons()))
        cancelHeld();
    m_held |= button;
    m_clickPending = true;
    emit MouseDown(button, shiftCode(event->modifiers()), toScale(event->position().x()),
                   toScale(event->position().y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const int button = buttonCode(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    // A handler may close the window that owns this box; nothing of the box may
    // be touched after that.
    const QPointer<PictureBox> alive(this);
    m_held &= ~button;
    emit MouseUp(button, shiftCode(event->modifiers()), toScale(event->position().x()),
                 toScale(event->position().y()));
    if (!alive)
        return;
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

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int button = buttonCode(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    // The second press of a double-click arrives as DblClick alone, never as
    // MouseDown, and its release is no Click.
    m_held |= button;
    m_clickPending = false;
    const QPointer<PictureBox> alive(this);
    emit MouseDblClick(button, shiftCode(event->modifiers()), toScale(event->position().x()),
                       toScale(event->position().y()));
    if (alive)
        emit DblClick();
}

void PictureBox::cancelHeld()
{
    if (!m_held)
        return;
    m_held = 0;
    m_clickPending = false;
    emit MouseCancel();
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    cancelHeld();
    QWidget::focusOutEvent(event);
}

void PictureBox::hideEvent(QHideEvent* event)
{
    cancelHeld();
    QWidget::hideEvent(event);
}

void PictureBox::changeEvent(QEvent* event)
{
    // A disabled box hears no more releases; neither does one whose window has
    // gone to the background.
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        cancelHeld();
    QWidget::changeEvent(event);
}
