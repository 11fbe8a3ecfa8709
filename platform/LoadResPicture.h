#pragma once

#include <QImage>

// The program's bitmap resource with this number (":/bitmaps/<id>.bmp"), loaded
// on first use and kept for the life of the program; a null image when there is
// no such resource. The reference stays valid however many pictures follow it.
const QImage& LoadResPicture(int id);
