#include "PlainFlood.h"

#include "FieldCodes.h"
#include "cField.h"

namespace {
void openAround(cField& field, int index)
{
    for (int n : field.Cell(index)->Ngh()) {
        if (field.Cell(n)->Status() == CellStatus::Covered)
            PlainFlood::open(field, n);
    }
}
}

void PlainFlood::open(cField& field, int index)
{
    cCell* cell = field.Cell(index);
    cell->Check(CellAction::Open, field);
    if (cell->Nr() == 0 && cell->Status() == CellStatus::Opened)
        openAround(field, index);
}
