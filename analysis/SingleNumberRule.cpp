#include "SingleNumberRule.h"

#include "BoardView.h"
#include "VerdictSet.h"
#include "Verdicts.h"

#include "FieldCodes.h"

int SingleNumberRule::evaluate(const BoardView& view, int index, bool inside) const
{
    if (view.status(index) != CellStatus::Opened || view.nr(index) <= 0)
        return Verdicts::None;
    int covered = 0, flags = 0;
    // Pressed and exploded neighbours count as neither covered nor flagged.
    const auto count = [&](int status) {
        covered += status == CellStatus::Covered;
        flags += status == CellStatus::Flagged;
    };
    const int w = view.width();
    if (inside) {
        // Away from the border a grid cell's neighbours are the eight squares
        // around it, found without reading its list.
        for (int row : {index - w, index + w}) {
            count(view.status(row - 1));
            count(view.status(row));
            count(view.status(row + 1));
        }
        count(view.status(index - 1));
        count(view.status(index + 1));
    } else {
        view.forEachNgh(index, [&](int n) { count(view.status(n)); });
    }
    if (covered == 0)
        return Verdicts::None;
    // Flags are taken on trust: a number with too many flags proves nothing,
    // unless its covered and flagged cells happen to add up to it.
    if (view.nr(index) - flags == 0)
        return Verdicts::Safe;
    if (view.nr(index) == covered + flags)
        return Verdicts::Mine;
    return Verdicts::None;
}

void SingleNumberRule::reevaluate(const BoardView& view, int index)
{
    store(index, evaluate(view, index, view.isGrid() && view.inside(index)));
}

void SingleNumberRule::store(int index, int finding)
{
    m_finding[static_cast<size_t>(index)] = static_cast<std::int8_t>(finding);
    if (finding == Verdicts::None)
        m_proving.reset(index);
    else
        m_proving.set(index);
}

void SingleNumberRule::reevaluateAround(const BoardView& view, int index)
{
    const int w = view.width(), h = view.height();
    const int x = view.column(index), y = view.row(index);
    for (int yy = y > 0 ? y - 1 : 0; yy <= y + 1 && yy < h; ++yy) {
        for (int xx = x > 0 ? x - 1 : 0; xx <= x + 1 && xx < w; ++xx)
            reevaluate(view, yy * w + xx);
    }
}

void SingleNumberRule::update(const BoardView& view)
{
    // A number's finding depends on its own cell and its neighbours only; on a grid
    // those are the squares next to it, elsewhere everything is worked out again.
    if (view.rebound() || !view.isGrid()) {
        // A finding is only read where its number is marked as proving, and every
        // mark is set together with its finding, so the findings need no clearing.
        m_finding.resize(static_cast<size_t>(view.count()));
        m_proving.assign(view.count(), false);
        // Only an opened number can prove anything; the rest keep None.
        if (view.isGrid()) {
            const int w = view.width(), h = view.height();
            for (int y = 0, i = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x, ++i) {
                    if (view.status(i) == CellStatus::Opened && view.nr(i) > 0)
                        store(i, evaluate(view, i, x > 0 && x < w - 1 && y > 0 && y < h - 1));
                }
            }
            return;
        }
        for (int i = 0; i < view.count(); ++i) {
            if (view.status(i) == CellStatus::Opened && view.nr(i) > 0)
                reevaluate(view, i);
        }
        return;
    }
    for (int index : view.changes())
        reevaluateAround(view, index);
}

void SingleNumberRule::verdicts(const BoardView& view, VerdictSet& out) const
{
    for (int i = m_proving.next(0); i >= 0; i = m_proving.next(i + 1)) {
        const int finding = m_finding[static_cast<size_t>(i)];
        view.forEachNgh(i, [&](int n) {
            if (view.status(n) == CellStatus::Covered)
                out.set(n, finding);
        });
    }
}
