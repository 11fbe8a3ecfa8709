#include "FaceButton.h"

#include "HexCodes.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr char SymbolFamily[] = "Wingdings";
constexpr int CaptionPoints = 18;
}

FaceButton::FaceButton(QWidget* parent) : QPushButton(parent)
{
    QFont font(QString::fromLatin1(SymbolFamily), CaptionPoints, QFont::Bold);
    setFont(font);
    setFocusPolicy(Qt::NoFocus);
    setBackground(QColor::fromRgb(FaceColour::Playing));
}

bool FaceButton::symbolFontPresent()
{
    return QFontDatabase::families().contains(QString::fromLatin1(SymbolFamily), Qt::CaseInsensitive);
}

void FaceButton::setBackground(const QColor& colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Button, colour);
    setPalette(pal);
    update();
}

QColor FaceButton::background() const
{
    return palette().color(QPalette::Button);
}

void FaceButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    // The colour is the state the player reads, so it fills the whole face of
    // the button rather than whatever part of it the style would tint.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    painter.fillRect(inner, background());
    if (symbolFontPresent()) {
        painter.setFont(font());
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, text());
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height()) - 7.0;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    drawFace(painter, box);
}

void FaceButton::drawFace(QPainter& painter, const QRectF& box) const
{
    const qreal s = box.width();
    painter.setPen(QPen(Qt::black, 1.4));
    painter.setBrush(QColor(255, 232, 32));
    painter.drawEllipse(box);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    const qreal eyeY = box.top() + 0.36 * s;
    const qreal eye = 0.13 * s;
    painter.drawEllipse(QPointF(box.left() + 0.34 * s, eyeY), eye / 2, eye * 0.65);
    painter.drawEllipse(QPointF(box.left() + 0.66 * s, eyeY), eye / 2, eye * 0.65);

    painter.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const qreal left = box.left() + 0.28 * s;
    const qreal right = box.left() + 0.72 * s;
    const qreal mouthY = box.top() + 0.68 * s;
    const QString face = text();
    if (face == QLatin1String(Face::Won) || face == QLatin1String(Face::Lost)) {
        // A smile bends down in the middle, a frown up.
        const qreal bend = (face == QLatin1String(Face::Won) ? 0.14 : -0.14) * s;
        const qreal base = face == QLatin1String(Face::Won) ? mouthY - 0.04 * s : mouthY + 0.06 * s;
        QPainterPath mouth(QPointF(left, base));
        mouth.quadTo(QPointF((left + right) / 2, base + 2 * bend), QPointF(right, base));
        painter.drawPath(mouth);
    } else {
        painter.drawLine(QPointF(left + 0.03 * s, mouthY), QPointF(right - 0.03 * s, mouthY));
    }
}
