#include "OddsOverlay.h"

#include "Odds.h"
#include "OddsInput.h"

#include "FieldCodes.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

constexpr QImage::Format LayerFormat = QImage::Format_ARGB32_Premultiplied;
constexpr int BytesPerPixel = 4;
// The hint's ring stands off the cell, so that it can be found on a board of
// the smallest cells too, and is edged in a dark line to stand out on any tint.
const QColor HintColour(20, 110, 255);
const QColor HintEdgeColour(0, 20, 90);
constexpr int HintMinWidth = 2;
constexpr int HintShare = 6;  // the ring's width as a part of the cell's side
constexpr int HintEdge = 1;   // the dark line on either side of the ring
constexpr int HintGap = 1;    // between the ring's inner edge and the cell

enum class Proof : char { None, Safe, Mined };

bool covered(std::int8_t status)
{
    return status == CellStatus::Covered || status == CellStatus::Pressed;
}

// Copies a tile into the layer: both have the same format, and cells never overlap.
void place(QImage& layer, const QImage& tile, int x, int y)
{
    const size_t rowBytes = static_cast<size_t>(tile.width()) * BytesPerPixel;
    for (int row = 0; row < tile.height(); ++row)
        std::memcpy(layer.scanLine(y + row) + static_cast<qsizetype>(x) * BytesPerPixel, tile.constScanLine(row),
                    rowBytes);
}

}

OddsOverlay::OddsOverlay(QWidget* board) : QWidget(board)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(board->rect());
    board->installEventFilter(this);
    hide();
}

OddsTiles& OddsOverlay::tiles(int pitch)
{
    if (!m_tiles || m_tiles->pitch() != pitch)
        m_tiles = std::make_unique<OddsTiles>(pitch);
    return *m_tiles;
}

void OddsOverlay::showOdds(const Odds* odds, const OddsInput& board, int columns, int pitch)
{
    const int count = board.cellCount();
    if (!odds || !odds->consistent || columns <= 0 || pitch <= 0 || count <= 0 || count % columns != 0
        || odds->mine.size() != static_cast<size_t>(count)) {
        clearOdds();
        return;
    }
    const QSize size(columns * pitch, count / columns * pitch);
    if (m_layer.size() != size)
        m_layer = QImage(size, LayerFormat);
    m_layer.fill(Qt::transparent);
    std::vector<Proof> proof(static_cast<size_t>(count), Proof::None);
    for (int i : odds->safe)
        proof[static_cast<size_t>(i)] = Proof::Safe;
    for (int i : odds->mined)
        proof[static_cast<size_t>(i)] = Proof::Mined;
    OddsTiles& look = tiles(pitch);
    for (int i = 0; i < count; ++i) {
        const double mine = odds->mine[static_cast<size_t>(i)];
        // Odds a move old are shown only on the cells still covered.
        if (mine < 0 || !covered(board.status[static_cast<size_t>(i)]))
            continue;
        const Proof kind = proof[static_cast<size_t>(i)];
        const QImage& tile = kind == Proof::Safe ? look.safe()
            : kind == Proof::Mined               ? look.mined()
                                                 : look.chance(mine, !odds->exact);
        place(m_layer, tile, i % columns * pitch, i / columns * pitch);
    }
    update();
    updateVisibility();
}

void OddsOverlay::clearOdds()
{
    if (m_layer.isNull())
        return;
    m_layer = QImage();
    update();
    updateVisibility();
}

void OddsOverlay::setHint(int cell, int columns, int pitch)
{
    if (cell == m_hint && columns == m_hintColumns && pitch == m_hintPitch)
        return;
    if (m_hint >= 0)
        update(hintArea());
    m_hint = cell;
    m_hintColumns = std::max(columns, 1);
    m_hintPitch = std::max(pitch, 1);
    if (m_hint >= 0)
        update(hintArea());
    updateVisibility();
}

int OddsOverlay::hintWidth() const
{
    return std::max(HintMinWidth, m_hintPitch / HintShare);
}

QRect OddsOverlay::hintArea() const
{
    const int margin = hintWidth() + 2 * HintEdge + HintGap;
    const QRect cell(m_hint % m_hintColumns * m_hintPitch, m_hint / m_hintColumns * m_hintPitch, m_hintPitch,
                     m_hintPitch);
    return cell.adjusted(-margin, -margin, margin, margin);
}

void OddsOverlay::updateVisibility()
{
    // Hidden, it costs the board nothing when it paints.
    setVisible(!m_layer.isNull() || m_hint >= 0);
}

void OddsOverlay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect() & m_layer.rect();
    if (!m_layer.isNull() && !area.isEmpty())
        painter.drawImage(area.topLeft(), m_layer, area);
    if (m_hint < 0)
        return;
    // The ring is drawn over its dark edge, a little wider on either side.
    const int width = hintWidth();
    const qreal edged = width + 2 * HintEdge;
    const QRectF ring = QRectF(hintArea()).adjusted(edged / 2, edged / 2, -edged / 2, -edged / 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(HintEdgeColour, edged, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(ring);
    painter.setPen(QPen(HintColour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(ring);
}

bool OddsOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
