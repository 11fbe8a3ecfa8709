#pragma once

#include "cField.h"

#include "CommonDialog.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// Minefield files (.fld): which cells of a board hold mines, as plain single-byte
// text with one line per row, "1" for a mine and "0" for a safe cell, each line
// ended by CR LF. An object lives for one save or one load.
class cFile {
public:
    // The longest file a board can come from: 166 rows of 255 cells with their
    // line ends, plus the one final character the reader never looks at.
    static constexpr qint64 MaxFileBytes =
        static_cast<qint64>(cField::MaxYy) * (cField::MaxXx + 2) + 1;

    bool SaveFld(cField* nField, CommonDialog& Cdl);
    std::unique_ptr<cField> LoadFld(CommonDialog& Cdl);   // nullptr for "nothing"

    // The file's bytes for a field's mines; throws RuntimeError when the field has
    // no complete board to write.
    static QByteArray FormatFld(const cField& nField);
    // Builds a field from a file's bytes, with title as its Tag; nullptr when the
    // text is not a minefield file that fills a board exactly.
    static std::unique_ptr<cField> ParseFld(const QByteArray& text, const QString& title);

private:
    static int CntMines(const std::vector<bool>& values);
};
