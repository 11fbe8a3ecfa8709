#include "cFile.h"
#include "FieldCodes.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// The reader must take back everything the writer makes: a board of any size,
// with any number of mines, drawn from the input's first bytes. A target of its
// own, because dealing a large board for every input would slow the search for
// inputs that break the reader itself.

namespace {
void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz_fld_written: %s\n", what);
        std::abort();
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    const int w = cField::MinXx + data[0] % (cField::MaxXx - cField::MinXx + 1);
    const int h = cField::MinYy + (data[1] | data[2] << 8) % (cField::MaxYy - cField::MinYy + 1);
    const int mines = (data[3] | data[4] << 8) % (w * h);
    const quint32 seed = data[5] | data[6] << 8 | static_cast<quint32>(data[7]) << 16;
    cField field;
    field.Randomize(seed);
    field.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
    const QByteArray saved = cFile::FormatFld(field);
    const std::unique_ptr<cField> loaded = cFile::ParseFld(saved, QStringLiteral("written.fld"));
    check(loaded != nullptr, "refused a board the writer made");
    check(loaded->Xx() == w && loaded->Yy() == h, "written board loads with another size");
    check(loaded->MTot() == field.MTot(), "written board loads with another mine count");
    for (int i = 0; i < w * h; ++i)
        check(loaded->Cell(i)->Mine() == field.Cell(i)->Mine(), "written board loads other mines");
    return 0;
}
