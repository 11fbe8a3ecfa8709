#include "SettingsFile.h"

#include "TextNumber.h"

#include "AppPath.h"
#include "Gbk.h"
#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>

#include <algorithm>
#include <unistd.h>

namespace {
constexpr char LineEnd[] = "\r\n";

// Lines as the file holds them: ended by CR LF, a lone LF or a lone CR; a last
// line without an end counts, an empty tail after the last end does not.
QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

// A line break inside a text would split it over two lines of the file and
// shift every line after it.
QString oneLine(const QString& text)
{
    QString line = text;
    line.remove(u'\r');
    line.remove(u'\n');
    return line;
}

bool writableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    if (::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return true;
    // A folder closed to new files still lets a player rewrite a file that is theirs.
    const QString file = QDir(folder).filePath(QString::fromLatin1(SettingsFile::FileName));
    return ::access(QFile::encodeName(file).constData(), W_OK) == 0;
}

QString besideProgram()
{
    return QDir(AppPath()).filePath(QString::fromLatin1(SettingsFile::FileName));
}
}

namespace SettingsFile {

Settings parse(const QByteArray& bytes, const Settings& start)
{
    Settings read = start;
    const QList<QByteArray> lines = splitLines(bytes);
    std::array<qint16*, 4> numbers = {&read.Level, &read.Cols, &read.Rows, &read.Mines};
    qsizetype line = 0;
    for (qint16* number : numbers) {
        if (line >= lines.size())
            return read;
        const std::optional<qint16> value = wholeNumber16(QString::fromLatin1(lines[line++]));
        if (!value)
            return read;
        *number = *value;
    }
    for (QString& text : read.Scores) {
        if (line >= lines.size())
            return read;
        text = fromGbk(lines[line++]);
    }
    return read;
}

void bringWithinLimits(Settings& settings)
{
    if (settings.Level < Level::Beginner || settings.Level > Level::Custom)
        settings.Level = Level::Intermediate;
    settings.Cols = static_cast<qint16>(std::clamp<int>(settings.Cols, Limits::MinSide, Limits::MaxSide));
    settings.Rows = static_cast<qint16>(std::clamp<int>(settings.Rows, Limits::MinSide, Limits::MaxSide));
    settings.Mines = static_cast<qint16>(std::clamp<int>(
        settings.Mines, Limits::MinMines, Limits::maxMines(settings.Cols, settings.Rows)));
}

QByteArray printForm(qint16 value)
{
    const QByteArray digits = QByteArray::number(std::abs(static_cast<int>(value)));
    return (value < 0 ? "-" : " ") + digits + ' ';
}

QByteArray format(const Settings& settings)
{
    QByteArray bytes;
    for (const qint16 number : {settings.Level, settings.Cols, settings.Rows, settings.Mines})
        bytes += printForm(number) + LineEnd;
    for (const QString& text : settings.Scores)
        bytes += toGbk(oneLine(text)) + LineEnd;
    return bytes;
}

QString path()
{
    if (writableFolder(AppPath()))
        return besideProgram();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data).filePath(QString::fromLatin1(FileName));
}

std::optional<QByteArray> readBytes()
{
    const QString own = path();
    if (std::optional<QByteArray> bytes = readRegularFile(own, MaxBytes))
        return bytes;
    // A copy installed where the player cannot write keeps its file in the data
    // folder; until the first save there, a file shipped beside it still counts.
    if (own != besideProgram() && !QFileInfo::exists(own))
        return readRegularFile(besideProgram(), MaxBytes);
    return std::nullopt;
}

bool write(const Settings& settings)
{
    const QString file = path();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    return writeFileAtomically(file, format(settings));
}

}
