#pragma once

#include "HexCodes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// What the game remembers between runs: the level, the board size and the six
// texts of the score board (time and name for levels 0, 1 and 2).
struct Settings {
    qint16 Level = Level::Intermediate;
    qint16 Cols = 0;
    qint16 Rows = 0;
    qint16 Mines = 0;
    std::array<QString, 6> Scores;
};

// "result.sav": ten lines ended by CR LF; four integers in print form, then the
// six score texts in GBK.
namespace SettingsFile {
inline constexpr char FileName[] = "result.sav";
inline constexpr int LineCount = 10;
// The most characters a name keeps, at the prompt and in the file: one name can
// then never crowd out the others.
inline constexpr qsizetype MaxNameLength = 32;
// Of each line only this much is read: many times what the game writes, a name of
// MaxNameLength characters taking two bytes each in GBK.
inline constexpr qint64 MaxLineBytes = 4 * 1024;
// How far the reader looks for the ten line ends before it gives up; a file
// without them that far on was not written by the game.
inline constexpr qint64 MaxScanBytes = 16 * 1024 * 1024;

// Reads lines into a copy of start in file order and stops at the first line
// that is missing or, among the four numbers, is not a 16-bit number: what was
// read before it stays, the rest keeps start's values. A best time that is not a
// whole number of seconds the clock can show (0 to its cap) could never be beaten,
// so that level reads as having no record, default time and name; a valid time
// reads in plain form. Names are cut as fitName cuts them.
Settings parse(const QList<QByteArray>& lines, const Settings& start);
// The same for the file's bytes, cut into lines as the reader cuts them.
Settings parse(const QByteArray& bytes, const Settings& start);
// A name as the game keeps it: one line of at most MaxNameLength characters, never
// ending in half of a character that takes two.
QString fitName(const QString& name);
// Brings hand-edited values within the game's rules: a level outside 0..3 becomes
// intermediate, columns and rows 8..30, mines 8 up to a third of the cells.
void bringWithinLimits(Settings& settings);
QByteArray format(const Settings& settings);
// An integer as the file prints it: sign or space, digits, one trailing space.
QByteArray printForm(qint16 value);

// Where this copy keeps the file: beside the program when the player may write
// there, otherwise in the player's own data folder.
QString path();
// The file's first ten lines from path(), or, when the data folder has none yet,
// from beside the program; nothing when neither can be read. A file of any size
// gives what can be read of it, and no more than the bounds above.
std::optional<QList<QByteArray>> readLines();
// Replaces the file at path() in one step; false leaves the old one as it was.
bool write(const Settings& settings);
}
