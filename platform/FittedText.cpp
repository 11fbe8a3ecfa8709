#include "FittedText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QString>
#include <QStyle>

namespace {
// Half a point at a time keeps the digits as large as the room allows; below
// four points (or five pixels) they would no longer read as digits at all.
constexpr qreal PointStep = 0.5;
constexpr qreal SmallestPoints = 4.0;
constexpr int SmallestPixels = 5;

bool fits(const QLabel& label, const QString& text, const QFont& font)
{
    return QFontMetrics(font, &label).horizontalAdvance(text) <= textRoom(label, font);
}
}

int textRoom(const QLabel& label, const QFont& font)
{
    int room = label.contentsRect().width() - 2 * label.margin();
    int indent = label.indent();
    // A label left to choose its own indent takes half an "x" beside a frame, as
    // the label itself reckons it when it lays out its text.
    if (indent < 0 && label.frameWidth() > 0)
        indent = QFontMetrics(font, &label).horizontalAdvance(QLatin1Char('x')) / 2 - label.margin();
    if (indent > 0) {
        const Qt::Alignment align = QStyle::visualAlignment(label.layoutDirection(), label.alignment());
        if (align & Qt::AlignLeft)
            room -= indent;
        if (align & Qt::AlignRight)
            room -= indent;
    }
    return room;
}

QFont fittedFont(const QLabel& label, const QString& text, const QFont& design)
{
    if (fits(label, text, design))
        return design;
    QFont font = design;
    if (design.pointSizeF() > 0) {
        for (qreal size = design.pointSizeF() - PointStep; size >= SmallestPoints; size -= PointStep) {
            font.setPointSizeF(size);
            if (fits(label, text, font))
                return font;
        }
    } else if (design.pixelSize() > 0) {
        for (int size = design.pixelSize() - 1; size >= SmallestPixels; --size) {
            font.setPixelSize(size);
            if (fits(label, text, font))
                return font;
        }
    }
    return font;
}

void setFittedText(QLabel& label, const QString& text, const QFont& design)
{
    const QFont font = fittedFont(label, text, design);
    // A clock sets its text every second; an unchanged font costs nothing then.
    if (label.font() != font)
        label.setFont(font);
    label.setText(text);
}
