#include "OddsTiles.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr QImage::Format TileFormat = QImage::Format_ARGB32_Premultiplied;
// Green for no mine, yellow for even odds, red for a sure one: hues in degrees.
constexpr double SafeHue = 120.0;
constexpr double TintSaturation = 0.85;
constexpr double TintValue = 0.95;
constexpr double TintAlpha = 0.6;
// The hatching of an estimate: one light stroke every few pixels.
constexpr int HatchStep = 4;
const QColor HatchColour(255, 255, 255, 170);
const QColor TextColour(20, 20, 20);
const QColor HaloColour(255, 255, 255, 200);
const QColor SafeLine(0, 120, 0);
const QColor SafeFill(60, 220, 60);
const QColor MinedLine(110, 0, 0);
const QColor MinedFill(235, 50, 50);
// Below this a cell has no room for a drawn sign: proven cells are filled
// outright, safe ones with a light centre and mined ones with a dark one.
constexpr int SignMinPitch = 8;
constexpr int TinyCentre = 2;
constexpr int PercentScale = 100;
constexpr float ProofFillAlpha = 0.55f;
// The figures take about three fifths of a cell's side, less where they would
// not fit between its edges, and are ringed in a light halo of this width.
constexpr int FigureShare = 5;
constexpr int FigureParts = 3;
constexpr int FigureRoom = 4;
constexpr qreal HaloWidth = 2.0;
// The marks of proven cells as parts of the cell's side: the frame's width, and
// the ends of the cross and of the check's two strokes.
constexpr qreal FrameShare = 1.0 / 9.0;
constexpr qreal StrokeToFrame = 1.4;
constexpr qreal CrossNear = 0.3;
constexpr qreal CrossFar = 0.7;
const QPointF CheckShape[] = {{0.25, 0.52}, {0.43, 0.7}, {0.75, 0.3}};

QColor tint(int percent)
{
    const double hue = SafeHue * (1.0 - percent / static_cast<double>(PercentScale));
    QColor colour = QColor::fromHsvF(static_cast<float>(hue / 360.0), static_cast<float>(TintSaturation),
                                     static_cast<float>(TintValue));
    colour.setAlphaF(static_cast<float>(TintAlpha));
    return colour;
}

QFont figureFont(int pitch, const QString& text)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Nimbus Sans Narrow")});
    font.setStretch(QFont::SemiCondensed);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int size = std::max(pitch * FigureParts / FigureShare, 1); size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetricsF(font).horizontalAdvance(text) <= pitch - FigureRoom)
            break;
    }
    return font;
}

}

OddsTiles::OddsTiles(int pitch) : m_pitch(std::max(pitch, 1)) {}

int OddsTiles::shownPercent(double mine)
{
    return std::clamp(static_cast<int>(std::lround(mine * PercentScale)), 1, PercentScale - 1);
}

const QImage& OddsTiles::chance(double mine, bool approximate)
{
    const int percent = shownPercent(mine);
    QImage& tile = m_chance[static_cast<size_t>(percent + (approximate ? Percents : 0))];
    if (tile.isNull())
        tile = drawChance(percent, approximate);
    return tile;
}

const QImage& OddsTiles::safe()
{
    if (m_safe.isNull())
        m_safe = drawProof(false);
    return m_safe;
}

const QImage& OddsTiles::mined()
{
    if (m_mined.isNull())
        m_mined = drawProof(true);
    return m_mined;
}

QImage OddsTiles::blank() const
{
    QImage tile(m_pitch, m_pitch, TileFormat);
    tile.fill(Qt::transparent);
    return tile;
}

QImage OddsTiles::drawChance(int percent, bool approximate) const
{
    QImage tile = blank();
    QPainter painter(&tile);
    // Where figures are written the cell keeps its outer edge, so that the grid
    // stays readable under the tint.
    const int inset = m_pitch >= TextPitch ? 1 : 0;
    const QRect inner(inset, inset, m_pitch - 2 * inset, m_pitch - 2 * inset);
    painter.fillRect(inner, tint(percent));
    if (approximate) {
        painter.setPen(HatchColour);
        painter.setClipRect(inner);
        for (int x = -m_pitch; x < m_pitch; x += HatchStep)
            painter.drawLine(x, m_pitch - 1, x + m_pitch - 1, 0);
        painter.setClipping(false);
    }
    if (m_pitch < TextPitch)
        return tile;
    QString text = QString::number(percent);
    if (m_pitch >= SignPitch)
        text += QLatin1Char('%');
    const QFont font = figureFont(m_pitch, text);
    // A light rim around dark figures reads on every tint, red as well as green.
    QPainterPath path;
    const QFontMetricsF metrics(font);
    const QPointF at((m_pitch - metrics.horizontalAdvance(text)) / 2.0, (m_pitch + metrics.capHeight()) / 2.0);
    path.addText(at, font, text);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(HaloColour, HaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, TextColour);
    return tile;
}

QImage OddsTiles::drawProof(bool mine) const
{
    QImage tile = blank();
    QPainter painter(&tile);
    const QColor line = mine ? MinedLine : SafeLine;
    QColor fill = mine ? MinedFill : SafeFill;
    if (m_pitch < SignMinPitch) {
        painter.fillRect(tile.rect(), fill);
        const int edge = (m_pitch - TinyCentre) / 2;
        painter.fillRect(QRect(edge, edge, TinyCentre, TinyCentre), mine ? Qt::black : Qt::white);
        return tile;
    }
    fill.setAlphaF(ProofFillAlpha);
    painter.fillRect(tile.rect(), fill);
    const qreal width = std::max(1.0, m_pitch * FrameShare);
    painter.setPen(QPen(line, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const qreal half = width / 2.0;
    painter.drawRect(QRectF(half, half, m_pitch - width, m_pitch - width));
    const qreal p = m_pitch;
    if (mine) {
        // Smoothed, a cross a few pixels wide would blur into its red ground.
        painter.setRenderHint(QPainter::Antialiasing, m_pitch >= TextPitch);
        painter.setPen(QPen(line, m_pitch >= TextPitch ? width * StrokeToFrame : 1.0, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(p * CrossNear, p * CrossNear), QPointF(p * CrossFar, p * CrossFar));
        painter.drawLine(QPointF(p * CrossNear, p * CrossFar), QPointF(p * CrossFar, p * CrossNear));
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(line, width * StrokeToFrame, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPointF check[std::size(CheckShape)];
        for (size_t k = 0; k < std::size(CheckShape); ++k)
            check[k] = CheckShape[k] * p;
        painter.drawPolyline(check, static_cast<int>(std::size(CheckShape)));
    }
    return tile;
}
