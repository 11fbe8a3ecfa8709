#include "HexCodes.h"
#include "SettingsFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds any bytes to the hex game's settings reader. It must never crash; after
// the game brings the values within its rules, the board they ask for fits the
// cell arrays and dealing always finds a free cell; and whatever was read is
// written back as ten lines that read back as the same numbers.

namespace {
void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz_settings: %s\n", what);
        std::abort();
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Settings start;
    start.Scores.fill(QStringLiteral("999"));
    Settings read = SettingsFile::parse(bytes, start);
    SettingsFile::bringWithinLimits(read);

    check(read.Level >= Level::Beginner && read.Level <= Level::Custom, "level out of range");
    check(read.Cols >= Limits::MinSide && read.Cols <= Board::MaxSide, "columns out of range");
    check(read.Rows >= Limits::MinSide && read.Rows <= Board::MaxSide, "rows out of range");
    check(read.Mines >= Limits::MinMines && read.Mines <= read.Cols * read.Rows / 3, "mines out of range");

    const QByteArray written = SettingsFile::format(read);
    check(written.count("\r\n") == 10, "written file is not ten lines");
    const Settings again = SettingsFile::parse(written, Settings{});
    check(again.Level == read.Level && again.Cols == read.Cols && again.Rows == read.Rows
              && again.Mines == read.Mines,
          "numbers do not read back");
    return 0;
}
