#include "PictureBoard.h"

#include "FieldCodes.h"
#include "cField.h"

std::unique_ptr<cField> PictureBoard::build(const QStringList& rows)
{
    auto field = std::make_unique<cField>();
    const int w = static_cast<int>(rows.front().size()), h = static_cast<int>(rows.size());
    field->Setup(w, h, 0, ViewMode::Normal, ZoomSize::Tiny);
    int mines = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x].toLatin1();
            const bool mine = c == '*' || c == 'F' || c == 'X';
            field->Cell(y * w + x)->setMine(mine);
            mines += mine;
        }
    }
    field->CntNr();
    field->setMTot(mines);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x].toLatin1();
            cCell* cell = field->Cell(y * w + x);
            if (c >= '0' && c <= '8')
                cell->setNr(c - '0');
            if ((c >= '0' && c <= '8') || c == 'o' || c == 'X')
                cell->Check(CellAction::Open, *field);
            else if (c == 'F' || c == 'f')
                cell->Check(CellAction::ToggleFlag, *field);
            else if (c == 'p')
                cell->Check(CellAction::TogglePressed, *field);
        }
    }
    field->CntM();
    return field;
}

QStringList PictureBoard::picture(const cField& field)
{
    QStringList rows;
    const int w = field.Xx();
    QString row;
    for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
        char c = '?';
        switch (cell->Status()) {
        case CellStatus::Covered:
            c = cell->Mine() ? '*' : '.';
            break;
        case CellStatus::Flagged:
            c = cell->Mine() ? 'F' : 'f';
            break;
        case CellStatus::Opened:
            c = static_cast<char>('0' + cell->Nr());
            break;
        case CellStatus::Exploded:
            c = 'X';
            break;
        case CellStatus::Pressed:
            c = 'p';
            break;
        }
        row += QLatin1Char(c);
        if (row.size() == w) {
            rows << row;
            row.clear();
        }
    }
    return rows;
}

std::vector<int> PictureBoard::verdicts(const QStringList& rows)
{
    const int w = static_cast<int>(rows.front().size());
    std::vector<int> array(1, 0);
    for (int y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < rows[y].size(); ++x) {
            const char c = rows[y][x].toLatin1();
            if (c != 'S' && c != 'M')
                continue;
            const auto index = static_cast<size_t>(y * w + x);
            if (index >= array.size())
                array.resize(index + 1, 0);
            array[index] = c == 'S' ? 1 : 2;
        }
    }
    return array;
}
