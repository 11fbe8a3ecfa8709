#pragma once

#include <QStringList>

#include <memory>
#include <vector>

class cField;

// Builds a field from a picture, one string per row and one character per cell:
//   .  covered            *  covered mine
//   F  flagged mine       f  flagged safe cell (a wrong flag)
//   o  opened, showing its true number
//   0-8 opened, showing this number whatever the mines say
//   X  exploded mine      p  pressed safe cell
// Opened cells are opened one by one, without a flood, so a picture shows exactly
// the position it draws. Rows must be at least 8 cells wide, as boards are.
class PictureBoard {
public:
    static std::unique_ptr<cField> build(const QStringList& rows);
    // The statuses drawn with the same characters, numbers as digits ('o' is not
    // used: opened cells show their number).
    static QStringList picture(const cField& field);
    // A verdict array from a picture of verdicts: 'S' safe, 'M' mine, anything
    // else none; rows are as wide as the first one, later rows may stop early.
    // Its length runs to the last verdict, as the engine's arrays do.
    static std::vector<int> verdicts(const QStringList& rows);
};
