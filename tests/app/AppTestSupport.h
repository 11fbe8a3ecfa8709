#pragma once

#include "ScriptedFileDialog.h"
#include "fMines9.h"

#include "FieldCodes.h"
#include "LoadResPicture.h"
#include "PictureBox.h"
#include "cCell.h"
#include "cField.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QList>

#include <array>
#include <memory>

// Helpers shared by the main window's tests: reading what the window shows and
// playing the board through the field's own mouse handlers, in twips.
namespace AppTest {

inline QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// Which smile picture the window shows, by resource id; -1 when it is none of them.
inline int smileShown(const fMines9& w)
{
    const QImage shown = rgb(w.imgSmile->pixmap().toImage());
    for (int id = 200; id <= 204; ++id) {
        if (!LoadResPicture(id).isNull() && shown == rgb(LoadResPicture(id)))
            return id;
    }
    return -1;
}

// The picture a cell shows on the board, by resource id; -1 when it is none of its size's.
inline int cellShown(const fMines9& w, int index)
{
    cField& f = *w.Field;
    const int side = f.cDim() / PictureBox::TwipsPerPixel;
    const QImage shown = rgb(w.Picture1->canvas().copy((index % f.Xx()) * side,
                                                       (index / f.Xx()) * side, side, side));
    for (int base = 100; base <= 113; ++base) {
        const QImage& picture = LoadResPicture(base + f.cAdd());
        if (!picture.isNull() && shown == rgb(picture))
            return base + f.cAdd();
    }
    return -1;
}

template <size_t N>
QList<int> checkedItems(const std::array<QAction*, N>& items)
{
    QList<int> checked;
    for (size_t i = 0; i < N; ++i) {
        if (items[i]->isChecked())
            checked << static_cast<int>(i);
    }
    return checked;
}

template <size_t N>
QList<int> enabledItems(const std::array<QAction*, N>& items, size_t first, size_t last)
{
    QList<int> enabled;
    for (size_t i = first; i <= last; ++i) {
        if (items[i]->isEnabled())
            enabled << static_cast<int>(i);
    }
    return enabled;
}

inline void press(cField& f, int index, int button = PictureBox::LeftButton)
{
    const float half = static_cast<float>(f.cDim()) / 2.0f;
    f.Pic_MouseDown(button, 0, static_cast<float>((index % f.Xx()) * f.cDim()) + half,
                    static_cast<float>((index / f.Xx()) * f.cDim()) + half);
}

inline void release(cField& f, int button = PictureBox::LeftButton)
{
    f.Pic_MouseUp(button, 0, 0.0f, 0.0f);
}

inline void click(cField& f, int index, int button = PictureBox::LeftButton)
{
    press(f, index, button);
    release(f, button);
}

inline int firstCell(cField& f, bool mine)
{
    for (int i = 0; cCell* cell = f.Cell(i); ++i) {
        if (cell->Mine() == mine)
            return i;
    }
    return -1;
}

inline int mineCount(cField& f)
{
    int mines = 0;
    for (int i = 0; cCell* cell = f.Cell(i); ++i)
        mines += cell->Mine() ? 1 : 0;
    return mines;
}

// Opens every safe cell and flags every mine, which wins the game.
inline void playToWin(cField& f)
{
    for (int i = 0; cCell* cell = f.Cell(i); ++i) {
        if (!cell->Mine() && cell->Status() == CellStatus::Covered)
            click(f, i);
    }
    for (int i = 0; cCell* cell = f.Cell(i); ++i) {
        if (cell->Mine() && cell->Status() == CellStatus::Covered)
            click(f, i, PictureBox::RightButton);
    }
}

// Writes a minefield file from rows of '0' and '1', each ended by CR LF.
inline QString writeFld(const QString& path, const QStringList& rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (const QString& row : rows)
        file.write(row.toLatin1() + "\r\n");
    return path;
}

// Imports through the File menu with a dialog that answers with these paths
// (an empty one cancels).
inline void importFld(fMines9& w, const QStringList& answers)
{
    w.CommonDialog1 = std::make_unique<ScriptedFileDialog>(answers);
    w.mnuFile_Click(0);
}

}
