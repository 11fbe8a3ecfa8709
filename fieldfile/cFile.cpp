#include "cFile.h"

#include "LogCategories.h"
#include "RuntimeError.h"
#include "SafeFile.h"

#include <algorithm>

namespace {
constexpr int SaveFlags = CommonDialog::cdlOFNOverwritePrompt | CommonDialog::cdlOFNHideReadOnly
                          | CommonDialog::cdlOFNPathMustExist | CommonDialog::cdlOFNNoReadOnlyReturn;
constexpr int LoadFlags = CommonDialog::cdlOFNFileMustExist | CommonDialog::cdlOFNHideReadOnly
                          | CommonDialog::cdlOFNNoReadOnlyReturn;
static_assert(SaveFlags == 0x8806 && LoadFlags == 0x9004);

// The two filter texts differ in one word ("MineFiled" when loading); both stay
// as they are, because players know the dialogs by them.
const char* const SaveFilter = "All files (*.*)|*.*|MineField files (*.fld)|*.fld";
const char* const LoadFilter = "All files (*.*)|*.*|MineFiled files (*.fld)|*.fld";

void configure(CommonDialog& Cdl, const char* filter, int flags, const char* title)
{
    Cdl.Filter = QString::fromLatin1(filter);
    Cdl.FilterIndex = 2;
    Cdl.DefaultExt = QStringLiteral("fld");
    Cdl.Flags = flags;
    Cdl.DialogTitle = QString::fromLatin1(title);
    Cdl.FileName = QStringLiteral("MField");
}
}

bool cFile::SaveFld(cField* nField, CommonDialog& Cdl)
{
    bool written = false;
    try {
        // A field without a complete board has nothing to save, so the player is
        // not asked for a destination first.
        if (!nField)
            throw objectNotSet();
        const QByteArray bytes = FormatFld(*nField);
        configure(Cdl, SaveFilter, SaveFlags, "Select the destination file ");
        Cdl.ShowSave();
        written = writeFileAtomically(Cdl.FileName, bytes);
    } catch (const std::exception& error) {
        qCDebug(lcFiles, "minefield not saved: %s", error.what());
        written = false;
    }
    return written;
}

std::unique_ptr<cField> cFile::LoadFld(CommonDialog& Cdl)
{
    try {
        configure(Cdl, LoadFilter, LoadFlags, "Select source file ");
        Cdl.ShowOpen();
        // Anything longer than the longest minefield file cannot be one, and a pipe
        // or a device is refused before a byte is read from it.
        const std::optional<QByteArray> text = readRegularFile(Cdl.FileName, MaxFileBytes);
        if (!text)
            return nullptr;
        std::unique_ptr<cField> field = ParseFld(*text, Cdl.FileTitle);
        if (!field)
            qCDebug(lcFiles, "%s: not imported, not a minefield the game can play",
                    qUtf8Printable(Cdl.FileName));
        return field;
    } catch (const std::exception& error) {
        qCDebug(lcFiles, "minefield not imported: %s", error.what());
        return nullptr;
    }
}

QByteArray cFile::FormatFld(const cField& nField)
{
    const int w = nField.Xx(), h = nField.Yy();
    if (w < cField::MinXx || h < cField::MinYy || nField.cellCount() != w * h)
        throw objectNotSet();
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(h) * (w + 2));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            bytes += nField.Cell(y * w + x)->Mine() ? '1' : '0';
        bytes += "\r\n";
    }
    return bytes;
}

std::unique_ptr<cField> cFile::ParseFld(const QByteArray& text, const QString& title)
{
    try {
        const qsizetype length = text.size();
        std::vector<bool> values;
        qsizetype width = -1;
        qsizetype rows = 0;
        // pos counts from 1 and is the last position consumed. The loop stops one
        // short of the end, so the final character (the line feed of a complete
        // file) is never read as a cell, and a last line without its line end is
        // read but not counted as a row.
        qsizetype pos = 0;
        while (pos < length - 1) {
            ++pos;
            const char c = text[pos - 1];
            if (c == '\r' && text[pos] == '\n') {
                if (width == -1)
                    width = pos - 1;
                ++rows;
                ++pos;
                // The cells read so far must make whole rows of the first line's
                // width; whether they fill the board exactly is checked at the end.
                // A file that begins with a line end has no width at all.
                if (width == 0 || static_cast<qsizetype>(values.size()) % width != 0)
                    return nullptr;
                // Past the largest board nothing the rest holds can make it fit.
                if (width > cField::MaxXx || rows > cField::MaxYy)
                    return nullptr;
                continue;
            }
            // A cell reads as a truth value, the way a number does: "0" is safe and
            // every other digit a mine. Anything else, a lone CR included, is not
            // a cell.
            if (c < '0' || c > '9')
                return nullptr;
            values.push_back(c != '0');
        }
        if (width < cField::MinXx || width > cField::MaxXx || rows < cField::MinYy
            || rows > cField::MaxYy)
            return nullptr;
        // Cells after the last line end (a last line without its line end) belong
        // to no row.
        if (static_cast<qsizetype>(values.size()) != width * rows)
            return nullptr;

        auto field = std::make_unique<cField>();
        field->setXx(static_cast<int>(width));
        field->setYy(static_cast<int>(rows));
        field->RedimCell();
        const int count = static_cast<int>(values.size());
        for (int i = 0; i < count; ++i) {
            field->Cell(i)->Init(i, field->Xx(), values[static_cast<size_t>(i)]);
            field->SetNgh(i);
        }
        field->CntNr();
        // Refuses a board without a free cell: no game can be played on it.
        field->CntO();
        field->setMTot(CntMines(values));
        field->CntM();
        field->Mouse = 0;
        field->LastMouse = 0;
        field->Index0 = -1;
        field->Tag = title;
        return field;
    } catch (const std::exception&) {
        return nullptr;
    }
}

int cFile::CntMines(const std::vector<bool>& values)
{
    return static_cast<int>(std::count(values.begin(), values.end(), true));
}
