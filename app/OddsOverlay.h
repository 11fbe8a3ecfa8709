#pragma once

#include "OddsTiles.h"

#include <QImage>
#include <QWidget>

#include <memory>

struct Odds;
struct OddsInput;

// A see-through layer over the board: the odds of the covered cells and the
// hint's mark. It lies on top of the board's picture box and draws on itself
// alone, so the board's canvas, the cells' pictures and everything the box
// reports of the mouse stay exactly as they are; the mouse passes through it.
class OddsOverlay : public QWidget {
    Q_OBJECT
public:
    explicit OddsOverlay(QWidget* board);

    // Lays the odds over the cells of board that are covered in it, a board of
    // columns cells a row and cells of pitch pixels; null odds, odds that no
    // placement fits or odds of a board of another size show nothing.
    void showOdds(const Odds* odds, const OddsInput& board, int columns, int pitch);
    void clearOdds();
    // Marks one cell (-1 for none) of a board of columns cells a row.
    void setHint(int cell, int columns, int pitch);
    int hint() const { return m_hint; }

    // The odds as laid over the board, one pixel per screen pixel; transparent
    // where nothing is shown.
    const QImage& layer() const { return m_layer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OddsTiles& tiles(int pitch);
    int hintWidth() const;
    QRect hintArea() const;
    void updateVisibility();

    QImage m_layer;
    std::unique_ptr<OddsTiles> m_tiles;
    int m_hint = -1;
    int m_hintColumns = 1;
    int m_hintPitch = 1;
};
