#include "NoGuessDeal.h"

#include "NoGuessDealer.h"
#include "OddsInput.h"

#include "Attempt.h"
#include "Rnd.h"
#include "cField.h"

bool DealWithoutGuess(cField& field, int firstCell, std::chrono::milliseconds budget,
                      const std::function<bool(int percent)>& progress)
{
    const auto deadline = NoGuessDealer::Clock::now() + budget;
    Rnd rnd;
    NoGuessDealer dealer(OddsInput::read(field), rnd);
    const bool won = dealer.deal(firstCell, deadline, progress);
    if (!won)
        dealer.dealAtRandom(firstCell);

    const MineLayout& layout = dealer.layout();
    for (int i = 0; i < layout.cellCount(); ++i)
        field.Cell(i)->setMine(layout.mine(i));
    field.CntNr();
    // A board with a mine on every cell has no pool to rebuild; the deal never
    // makes one, as the first cell always stays free.
    attempt("count open cells", [&] { field.CntO(); });
    field.CntM();
    return won;
}
