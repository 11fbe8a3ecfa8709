// The complete auto-completion as the Compute menu runs it, against a plain
// count of every way the mines left can lie in the covered cells.

#include "FieldCodes.h"
#include "cCompute.h"
#include "cField.h"

#include <QGuiApplication>
#include <QTest>

#include <algorithm>
#include <bit>
#include <optional>

namespace {

constexpr int MostCovered = 22;

#if defined(__SANITIZE_ADDRESS__)
constexpr quint32 Boards = 60;
#else
constexpr quint32 Boards = 200;
#endif

// Whether a covered cell holds a mine in every placement that fits (mined), in
// none (safe), or neither. Null when no placement fits or the board is too large.
struct Proofs {
    quint32 mined = 0, safe = 0;
};

std::optional<Proofs> enumerate(const cField& field, const std::vector<int>& covered)
{
    if (covered.size() > MostCovered)
        return std::nullopt;
    int left = field.MTot();
    for (int i = 0; i < field.cellCount(); ++i)
        left -= field.Cell(i)->Status() == CellStatus::Flagged;
    quint32 always = ~0u, ever = 0;
    bool fits = false;
    for (quint32 mask = 0; mask < (1u << covered.size()); ++mask) {
        if (std::popcount(mask) != left)
            continue;
        const auto mineAt = [&](int cell) {
            const auto at = std::find(covered.begin(), covered.end(), cell);
            return at != covered.end() && (mask >> (at - covered.begin())) & 1u;
        };
        bool ok = true;
        for (int i = 0; ok && i < field.cellCount(); ++i) {
            const cCell& cell = *field.Cell(i);
            if (cell.Status() != CellStatus::Opened)
                continue;
            int mines = 0;
            for (int n : cell.Ngh())
                mines += field.Cell(n)->Status() == CellStatus::Flagged || mineAt(n);
            ok = mines == cell.Nr();
        }
        if (!ok)
            continue;
        fits = true;
        always &= mask;
        ever |= mask;
    }
    if (!fits)
        return std::nullopt;
    const quint32 all = (1u << covered.size()) - 1u;
    return Proofs{always & all, ~ever & all};
}

}

class tst_complete : public QObject {
    Q_OBJECT
private slots:
    void endsWhereNothingIsProven();
};

// A verdict applied that was not proven (a mine opened, a safe cell flagged), a
// completion that stops while a cell is still provable, memory an engine keeps
// from one board that misleads it on the next, or a command that keeps the field
// or the busy cursor.
void tst_complete::endsWhereNothingIsProven()
{
    cCompute comp;
    int judged = 0;
    for (quint32 seed = 1; seed <= Boards; ++seed) {
        cField field;
        field.Randomize(seed);
        field.Setup(8 + static_cast<int>(seed % 3), 3 + static_cast<int>(seed % 2), 5 + static_cast<int>(seed % 3),
                    ViewMode::Normal, ZoomSize::Large);
        // An opening, where there is one, and a few flags the player set right.
        int first = -1;
        for (int i = 0; i < field.cellCount(); ++i) {
            const cCell* cell = field.Cell(i);
            if (!cell->Mine() && (first < 0 || cell->Nr() == 0))
                first = i;
        }
        field.ChkCell(first);
        for (int i = 0, flags = 0; i < field.cellCount() && flags < static_cast<int>(seed % 3); ++i) {
            cCell* cell = field.Cell(i);
            if (cell->Mine() && cell->Status() == CellStatus::Covered) {
                cell->Check(CellAction::ToggleFlag, field);
                ++flags;
            }
        }
        comp.Init(cCompute::CmdComplete, &field);
        QCOMPARE(comp.Field(), nullptr);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        std::vector<int> covered;
        for (int i = 0; i < field.cellCount(); ++i) {
            const cCell& cell = *field.Cell(i);
            const QString at = QStringLiteral("seed %1, cell %2").arg(seed).arg(i);
            QVERIFY2(cell.Status() != CellStatus::Exploded, qPrintable(at));
            QVERIFY2(cell.Status() != CellStatus::Flagged || cell.Mine(), qPrintable(at));
            if (cell.Status() == CellStatus::Covered)
                covered.push_back(i);
        }
        const auto proofs = enumerate(field, covered);
        if (!proofs || field.FldStatus() == FieldStatus::Won)
            continue;
        ++judged;
        QVERIFY2(proofs->mined == 0 && proofs->safe == 0, qPrintable(QStringLiteral("seed %1").arg(seed)));
    }
    QVERIFY(judged > static_cast<int>(Boards) / 4);
}

QTEST_MAIN(tst_complete)
#include "tst_complete.moc"
