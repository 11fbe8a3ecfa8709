#pragma once

#include <QImage>

// The program's bitmap resource with this number (":/bitmaps/<id>.bmp"), loaded
// on first use and kept; a null image when there is no such resource.
const QImage& LoadResPicture(int id);
