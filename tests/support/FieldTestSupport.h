#pragma once

#include "FieldCodes.h"
#include "cField.h"

#include "RecordingBox.h"
#include "TestClocks.h"

#include <vector>

// A board with mines exactly where the test says, built with the field's own
// operations as an editor or loader would, so no random mines are involved.
inline void layMines(cField& field, int w, int h, const std::vector<int>& mines,
                     int size = ZoomSize::Normal)
{
    field.Setup(w, h, 0, ViewMode::Normal, size);
    for (int m : mines)
        field.Cell(m)->setMine(true);
    field.CntNr();
    field.CntO();
    field.setMTot(static_cast<int>(mines.size()));
    field.CntM();
}
