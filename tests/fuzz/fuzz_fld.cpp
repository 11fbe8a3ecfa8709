#include "cFile.h"
#include "FieldCodes.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

// Feeds any bytes to the minefield file reader. It must never crash, and a field
// it returns must be a whole board: every cell placed, covered, with its
// neighbours and number, and counters that agree with the mines in the file.

namespace {
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_fld: %s\n", what);
    std::abort();
}

void check(bool holds, const char* what)
{
    if (!holds)
        fail(what);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString title = QStringLiteral("fuzz.fld");
    const std::unique_ptr<cField> field = cFile::ParseFld(text, title);
    if (!field)
        return 0;

    const int w = field->Xx(), h = field->Yy();
    check(w >= cField::MinXx && w <= cField::MaxXx && h >= cField::MinYy && h <= cField::MaxYy,
          "size out of range");
    check(field->cellCount() == w * h, "cell count differs from width x height");
    // A board comes only from its cells and one line end per row, plus at most the
    // one final byte the reader never looks at.
    const qsizetype lineLength = w + 2;
    check(text.size() == h * lineLength || text.size() == h * lineLength + 1,
          "accepted a file that is not whole rows");
    // The cell characters in file order: everything before the last byte but the
    // line ends. Rows are cut by width, not by line, so one line may hold several.
    QByteArray cells;
    for (qsizetype pos = 0; pos + 1 < text.size(); ++pos) {
        if (text[pos] == '\r' && text[pos + 1] == '\n')
            ++pos;
        else
            cells += text[pos];
    }
    check(cells.size() == w * h, "cells in the file differ from width x height");

    int mines = 0;
    std::vector<int> safe;
    for (int i = 0; i < w * h; ++i) {
        const cCell* cell = field->Cell(i);
        const int x = i % w, y = i / w;
        check(cell->X() == x && cell->Y() == y, "cell without its place");
        check(cell->Status() == CellStatus::Covered, "cell not covered");
        const auto across = static_cast<size_t>(1 + (x > 0) + (x < w - 1));
        const auto down = static_cast<size_t>(1 + (y > 0) + (y < h - 1));
        check(cell->Ngh().size() == across * down - 1, "cell without its neighbours");
        const char c = cells[i];
        check(c >= '0' && c <= '9', "a cell that is not a digit");
        check(cell->Mine() == (c != '0'), "mine differs from the file");
        if (cell->Mine())
            ++mines;
        else
            safe.push_back(i);
    }
    for (int i = 0; i < w * h; ++i) {
        const cCell* cell = field->Cell(i);
        int around = 0;
        for (int n : cell->Ngh())
            around += field->Cell(n)->Mine() ? 1 : 0;
        check(cell->Nr() == (cell->Mine() ? 0 : around), "wrong number");
    }
    check(field->MTot() == mines, "MTot differs from the mines");
    check(field->MCnt() == mines, "MCnt differs from the mines");
    check(!safe.empty(), "a board without a free cell");
    check(field->FreePool() == safe, "free pool differs from the safe cells");
    check(field->Tag == title && field->Index0 == -1 && field->Mouse == 0 && field->LastMouse == 0,
          "press state or tag not set");

    // Written back, it is the same board again.
    const QByteArray saved = cFile::FormatFld(*field);
    check(saved.size() == h * lineLength, "saved file has the wrong length");
    const std::unique_ptr<cField> again = cFile::ParseFld(saved, title);
    check(again && cFile::FormatFld(*again) == saved, "saved board does not load back the same");
    return 0;
}
