#pragma once

#include "PictureBox.h"

#include <QImage>

#include <vector>

// Records what a board draws, in order, as cell indices (pitch twips to a cell,
// columns cells to a row), and still draws it.
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
