#pragma once

#include "FieldCodes.h"
#include "cField.h"

#include "Clock.h"
#include "PictureBox.h"

#include <QImage>

#include <vector>

// A clock that stands still until the test moves it.
struct FixedClock {
    float now = 1000.0f;
    FixedClock() { setTimerSource([this] { return now; }); }
    ~FixedClock() { setTimerSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// Records what a board draws, in order, as cell indices, and still draws it.
class RecordingBox : public PictureBox {
public:
    std::vector<int> drawn;
    int pitch = 1, columns = 1;
    void PaintPicture(const QImage& img, float x, float y) override
    {
        drawn.push_back(static_cast<int>(y) / pitch * columns + static_cast<int>(x) / pitch);
        PictureBox::PaintPicture(img, x, y);
    }
};

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
