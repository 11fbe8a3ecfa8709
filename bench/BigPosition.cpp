#include "BigPosition.h"

#include "FieldCodes.h"
#include "cField.h"

void BigPosition::deal(cField& field)
{
    field.Randomize(Seed);
    field.Reset();
    for (int i = 0; cCell* cell = field.Cell(i); ++i) {
        if (!cell->Mine() && cell->Nr() == 0 && cell->Status() == CellStatus::Covered)
            field.ChkCell(i);
    }
}
