#pragma once

#include "HexCodes.h"

#include <QByteArray>
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
// Far more than ten lines ever need; anything larger is not a settings file.
constexpr qint64 MaxBytes = 64 * 1024;

// Reads lines into a copy of start in file order and stops at the first line
// that is missing or, among the four numbers, is not a 16-bit number: what was
// read before it stays, the rest keeps start's values.
Settings parse(const QByteArray& bytes, const Settings& start);
// Brings hand-edited values within the game's rules: a level outside 0..3 becomes
// intermediate, columns and rows 8..30, mines 8 up to a third of the cells.
void bringWithinLimits(Settings& settings);
QByteArray format(const Settings& settings);
// An integer as the file prints it: sign or space, digits, one trailing space.
QByteArray printForm(qint16 value);

// Where this copy keeps the file: beside the program when the player may write
// there, otherwise in the player's own data folder.
QString path();
// The file's bytes from path(), or, when the data folder has none yet, from
// beside the program; nothing when neither can be read.
std::optional<QByteArray> readBytes();
// Replaces the file at path() in one step; false leaves the old one as it was.
bool write(const Settings& settings);
}
