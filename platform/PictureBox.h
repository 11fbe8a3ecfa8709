#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

class QPainter;

// A drawing surface with a persistent canvas: everything drawn goes to a back
// buffer that painting only shows, so a covered window never needs the owner to
// redraw. Positions are in twips (15 to a pixel) or in pixels, by the box's scale.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Scale { Twips, Pixels };
    enum RasterOp { SRCCOPY, SRCAND, SRCPAINT };
    // The Button argument of the mouse signals: one code per button, added
    // together where several are held.
    static constexpr int LeftButton = 1, RightButton = 2, MiddleButton = 4;
    // The Shift argument: one code per modifier key held, added together.
    static constexpr int ShiftMask = 1, CtrlMask = 2, AltMask = 4;
    static constexpr int TwipsPerPixel = 15;

    explicit PictureBox(QWidget* parent = nullptr, Scale scale = Scale::Twips);
    ~PictureBox() override;

    Scale scale() const { return m_scale; }
    // Width and height in the box's scale units.
    int Width() const;
    int Height() const;
    void setWidth(int nWidth);
    void setHeight(int nHeight);

    // Draws img at its own size with its top-left corner at (x, y) in scale units.
    // Virtual so that tests can watch what a board draws, and in which order.
    virtual void PaintPicture(const QImage& img, float x, float y);
    // GDI-style block transfer in pixels, for masked sprites (SRCAND then SRCPAINT).
    void BitBlt(const QImage& src, int sx, int sy, int w, int h, int dx, int dy, RasterOp rop);
    void Cls();
    // Raises Paint so the owner redraws the canvas, then shows the canvas.
    void Refresh();

    // Everything drawn so far, one canvas pixel per screen pixel.
    const QImage& canvas() const;
    QColor backColor() const { return m_backColor; }
    // Clears the canvas to the new colour.
    void setBackColor(const QColor& color);

signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void DblClick();
    // Raised just before DblClick, with the second press's button and position.
    void MouseDblClick(int Button, int Shift, float X, float Y);
    // The buttons held on the box were taken from it without a release reaching it
    // (a menu, another window or a disabled box took the pointer or the focus).
    void MouseCancel();
    void Click();
    void Paint();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    float toScale(qreal pixels) const;
    int toPixels(float units) const;
    static int buttonCode(Qt::MouseButtons buttons);
    static int shiftCode(Qt::KeyboardModifiers modifiers);

    QPainter& canvasPainter();
    void endPainting() const;
    void fitCanvas(QSize size);
    void canvasChanged();
    void cancelHeld();

    Scale m_scale = Scale::Twips;
    QColor m_backColor = QColor(192, 192, 192);
    QImage m_canvas;
    // Opened on the first draw that needs it and kept open across draws, because
    // opening a painter costs far more than drawing one small cell. Ended before
    // anyone reads, shows or reallocates the canvas. Declared after the canvas so
    // that it ends before the canvas goes.
    mutable std::unique_ptr<QPainter> m_painter;
    // One update request covers any number of draws until the next paint.
    bool m_updatePending = false;
    bool m_clickPending = false;
    // The button codes pressed on the box whose release it has not had yet.
    int m_held = 0;
};
