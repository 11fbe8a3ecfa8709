#include "HexCodes.h"
#include "LineSplitter.h"
#include "SettingsFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds any bytes to the hex game's settings reader. It must never crash; the
// lines are the same whether the bytes come at once or one at a time, as a file
// read in chunks hands them over; after the game brings the values within its
// rules, the board they ask for fits the cell arrays and dealing always finds a
// free cell; every best time is a time the clock can show, every name fits; and
// whatever was read is written back as ten lines that read back as the same
// numbers and times.

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
    LineSplitter pieces(SettingsFile::LineCount, SettingsFile::MaxLineBytes);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        pieces.feed(QByteArrayView(bytes).sliced(i, 1));
    pieces.endOfInput();
    check(pieces.lines() == LineSplitter::split(bytes, SettingsFile::LineCount, SettingsFile::MaxLineBytes),
          "lines depend on how the bytes arrive");

    Settings start;
    start.Scores.fill(QStringLiteral("999"));
    Settings read = SettingsFile::parse(bytes, start);
    SettingsFile::bringWithinLimits(read);

    check(read.Level >= Level::Beginner && read.Level <= Level::Custom, "level out of range");
    check(read.Cols >= Limits::MinSide && read.Cols <= Board::MaxSide, "columns out of range");
    check(read.Rows >= Limits::MinSide && read.Rows <= Board::MaxSide, "rows out of range");
    check(read.Mines >= Limits::MinMines && read.Mines <= read.Cols * read.Rows / 3, "mines out of range");
    for (size_t i = 0; i < read.Scores.size(); i += 2) {
        bool number = false;
        const int seconds = read.Scores[i].toInt(&number);
        check(number && seconds >= 0 && seconds <= ClockCap && read.Scores[i] == QString::number(seconds),
              "a best time the clock cannot show");
        check(read.Scores[i + 1].size() <= SettingsFile::MaxNameLength, "a name too long");
    }

    const QByteArray written = SettingsFile::format(read);
    check(written.count("\r\n") == 10, "written file is not ten lines");
    const Settings again = SettingsFile::parse(written, Settings{});
    check(again.Level == read.Level && again.Cols == read.Cols && again.Rows == read.Rows
              && again.Mines == read.Mines,
          "numbers do not read back");
    for (size_t i = 0; i < read.Scores.size(); i += 2)
        check(again.Scores[i] == read.Scores[i], "a best time does not read back");
    return 0;
}
