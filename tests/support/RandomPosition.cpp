#include "RandomPosition.h"

#include "FieldCodes.h"
#include "cField.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {
class Dice {
public:
    explicit Dice(quint32 seed) : m_engine(seed) {}
    int upTo(int high) { return std::uniform_int_distribution<int>(0, high)(m_engine); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_engine); }
    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_engine); }

private:
    std::mt19937 m_engine;
};
}

std::unique_ptr<cField> RandomPosition::deal(quint32 seed, int maxSide)
{
    Dice dice(seed);
    auto field = std::make_unique<cField>();
    const int w = cField::MinXx + dice.upTo(std::max(0, maxSide - cField::MinXx));
    const int h = 1 + dice.upTo(maxSide - 1);
    const int cells = w * h;
    const int mines = std::min(cells - 1, static_cast<int>(cells * dice.between(0.0, 0.3)));
    field->Randomize(seed);
    field->Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);

    const auto cell = [&](int i) { return field->Cell(i); };
    const auto flag = [&](int i) { cell(i)->Check(CellAction::ToggleFlag, *field); };

    // Flags laid before opening act as walls for the flood, some of them wrong.
    const double rightFlags = dice.between(0.0, 0.5), wrongFlags = dice.between(0.0, 0.06);
    for (int i = 0; i < cells; ++i) {
        if (dice.chance(cell(i)->Mine() ? rightFlags : wrongFlags))
            flag(i);
    }
    if (dice.chance(0.3)) {
        for (int i = 0; i < cells; ++i) {
            if (!cell(i)->Mine() && cell(i)->Nr() == 0)
                field->ChkCell(i);
        }
    }
    const int clicks = 1 + dice.upTo(std::max(1, cells / 10));
    for (int k = 0; k < clicks; ++k) {
        const int i = dice.upTo(cells - 1);
        if (!cell(i)->Mine())
            field->ChkCell(i);
    }
    // Taking flags back leaves opened cells, empty ones too, beside covered cells.
    const double takeBack = dice.between(0.0, 0.5);
    for (int i = 0; i < cells; ++i) {
        if (cell(i)->Status() == CellStatus::Flagged && dice.chance(takeBack))
            flag(i);
    }
    if (dice.chance(0.2)) {
        std::vector<int> coveredMines;
        for (int i = 0; i < cells; ++i) {
            if (cell(i)->Mine() && cell(i)->Status() == CellStatus::Covered)
                coveredMines.push_back(i);
        }
        if (!coveredMines.empty())
            field->ChkCell(coveredMines[static_cast<size_t>(dice.upTo(static_cast<int>(coveredMines.size()) - 1))]);
    }
    if (dice.chance(0.05)) {
        const int i = dice.upTo(cells - 1);
        cell(i)->Check(CellAction::TogglePressed, *field);
    }
    field->CntM();
    field->ChkWin();
    return field;
}
