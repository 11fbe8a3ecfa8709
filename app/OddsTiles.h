#pragma once

#include <QImage>

#include <array>

// The little pictures the odds overlay lays over covered cells of one size: a
// tint from green through yellow to red with the chance written on it, and the
// marks of cells proven safe or mined. They are see-through, so the cell below
// shows, and drawn once each, when first asked for.
class OddsTiles {
public:
    // Cells this wide and wider have room for the chance in figures.
    static constexpr int TextPitch = 15;
    // Cells this wide and wider have room for a percent sign beside the figures.
    static constexpr int SignPitch = 31;

    explicit OddsTiles(int pitch);

    int pitch() const { return m_pitch; }
    // A chance of a mine, not proven either way; an estimate is hatched.
    const QImage& chance(double mine, bool approximate);
    const QImage& safe();
    const QImage& mined();

    // The percentage written on a cell with that chance. A cell not proven either
    // way never shows 0 or 100, which would read as a proof.
    static int shownPercent(double mine);

private:
    static constexpr int Percents = 101;

    QImage blank() const;
    QImage drawChance(int percent, bool approximate) const;
    QImage drawProof(bool mine) const;

    int m_pitch = 0;
    std::array<QImage, 2 * Percents> m_chance;
    QImage m_safe;
    QImage m_mined;
};
