#include "CompleteByOdds.h"

#include "Odds.h"
#include "OddsEngine.h"
#include "OddsInput.h"

#include "FieldCodes.h"
#include "cField.h"

#include <algorithm>

CompleteRun completeByOdds(cField& field, OddsEngine& engine, std::chrono::milliseconds roundBudget)
{
    CompleteRun run;
    OddsInput input = OddsInput::read(field);
    std::vector<int> cells;
    for (;;) {
        const Odds odds = engine.analyse(input, OddsEngine::Mode::ProofsOnly, roundBudget);
        ++run.rounds;
        run.exact = run.exact && odds.exact;
        if (odds.safe.empty() && odds.mined.empty())
            break;
        // In cell order, as the single passes apply theirs.
        cells.clear();
        std::merge(odds.safe.begin(), odds.safe.end(), odds.mined.begin(), odds.mined.end(),
                   std::back_inserter(cells));
        for (int i : cells) {
            cCell* cell = field.Cell(i);
            if (!cell)
                continue;
            if (std::binary_search(odds.safe.begin(), odds.safe.end(), i)) {
                field.ChkCell(i);
                ++run.opened;
            } else if (cell->Status() == CellStatus::Covered || cell->Status() == CellStatus::Pressed) {
                cell->Check(CellAction::ToggleFlag, field);
                ++run.flagged;
            }
        }
        field.CntM();
        field.ChkWin();
        if (field.FldStatus() == FieldStatus::Lost || field.FldStatus() == FieldStatus::Won)
            break;
        input.refresh(field);
    }
    return run;
}

CompleteRun completeByOdds(cField& field, std::chrono::milliseconds roundBudget)
{
    OddsEngine engine;
    return completeByOdds(field, engine, roundBudget);
}
