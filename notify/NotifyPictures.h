#pragma once

#include <QPixmap>

// The window's two pictures, drawn rather than shipped so that they stay sharp
// at any screen scale.
namespace NotifyPictures {
QPixmap searchPicture(int size);   // a magnifying glass
QPixmap togglePicture(int size);   // two arrows turning round: swap the pages
}
