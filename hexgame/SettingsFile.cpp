#include "SettingsFile.h"

#include "TextNumber.h"

#include "AppPath.h"
#include "Gbk.h"
#include "LineSplitter.h"
#include "SafeFile.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <algorithm>
#include <unistd.h>

namespace {
// Why the game started with its defaults or lost a record, for a developer who
// asks with QT_LOGGING_RULES="suite.hexsettings.debug=true".
Q_LOGGING_CATEGORY(lcHexSettings, "suite.hexsettings", QtInfoMsg)

constexpr char LineEnd[] = "\r\n";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A best time as the clock shows it: a whole number of seconds from 0 to the
// clock's cap, blanks around it allowed and leading zeros read as the number.
std::optional<int> bestTime(QByteArrayView line)
{
    while (!line.isEmpty() && isBlank(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    if (line.isEmpty())
        return std::nullopt;
    int seconds = 0;
    for (const char c : line) {
        if (c < '0' || c > '9')
            return std::nullopt;
        seconds = seconds * 10 + (c - '0');
        if (seconds > ClockCap)
            return std::nullopt;
    }
    return seconds;
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

Settings parse(const QList<QByteArray>& lines, const Settings& start)
{
    Settings read = start;
    std::array<qint16*, 4> numbers = {&read.Level, &read.Cols, &read.Rows, &read.Mines};
    qsizetype line = 0;
    const auto endsEarly = [&] {
        qCDebug(lcHexSettings, "settings end after line %lld: the rest keeps what it was",
                static_cast<long long>(line));
    };
    for (qint16* number : numbers) {
        if (line >= lines.size()) {
            endsEarly();
            return read;
        }
        const std::optional<qint16> value = wholeNumber16(QString::fromLatin1(lines[line++]));
        if (!value) {
            qCDebug(lcHexSettings, "settings line %lld is no 16-bit number: it and the rest keep what they were",
                    static_cast<long long>(line));
            return read;
        }
        *number = *value;
    }
    for (size_t time = 0; time < read.Scores.size(); time += 2) {
        if (line >= lines.size()) {
            endsEarly();
            return read;
        }
        const std::optional<int> seconds = bestTime(lines[line++]);
        if (!seconds) {
            qCDebug(lcHexSettings, "settings line %lld is no best time the clock can show: that record is dropped",
                    static_cast<long long>(line));
            read.Scores[time] = QString::fromLatin1(ScoreDefault::Time);
            read.Scores[time + 1] = QString::fromUtf8(ScoreDefault::Name);
            ++line;   // the name goes with the time it was won in
            continue;
        }
        read.Scores[time] = QString::number(*seconds);
        if (line >= lines.size()) {
            endsEarly();
            return read;
        }
        read.Scores[time + 1] = fitName(fromGbk(lines[line++]));
    }
    return read;
}

Settings parse(const QByteArray& bytes, const Settings& start)
{
    return parse(LineSplitter::split(bytes, LineCount, MaxLineBytes), start);
}

QString fitName(const QString& name)
{
    QString fitted = oneLine(name).left(MaxNameLength);
    // Half of a character that takes two, left by this cut or by one made before
    // (a line edit's), would reach the file as a stray byte.
    if (!fitted.isEmpty() && fitted.back().isHighSurrogate())
        fitted.chop(1);
    return fitted;
}

void bringWithinLimits(Settings& settings)
{
    if (settings.Level < Level::Beginner || settings.Level > Level::Custom)
        settings.Level = Level::Intermediate;
    const Limits::CustomSize kept = Limits::clampCustom({static_cast<double>(settings.Cols),
                                                         static_cast<double>(settings.Rows),
                                                         static_cast<double>(settings.Mines)});
    settings.Cols = static_cast<qint16>(kept.cols);
    settings.Rows = static_cast<qint16>(kept.rows);
    settings.Mines = static_cast<qint16>(kept.mines);
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
    for (size_t i = 0; i < settings.Scores.size(); ++i) {
        const QString& text = settings.Scores[i];
        const bool name = i % 2 == 1;
        bytes += toGbk(name ? fitName(text) : oneLine(text)) + LineEnd;
    }
    return bytes;
}

QString path()
{
    if (writableFolder(AppPath()))
        return besideProgram();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data).filePath(QString::fromLatin1(FileName));
}

std::optional<QList<QByteArray>> readLines()
{
    const auto read = [](const QString& file) {
        return readRegularFileLines(file, LineCount, MaxLineBytes, MaxScanBytes);
    };
    const QString own = path();
    if (std::optional<QList<QByteArray>> lines = read(own))
        return lines;
    // A copy installed where the player cannot write keeps its file in the data
    // folder; until the first save there, a file shipped beside it still counts.
    if (own != besideProgram() && !QFileInfo::exists(own)) {
        std::optional<QList<QByteArray>> shipped = read(besideProgram());
        if (!shipped)
            qCDebug(lcHexSettings, "no settings in %s nor beside the program: the game starts with its defaults",
                    qUtf8Printable(own));
        return shipped;
    }
    qCDebug(lcHexSettings, "settings %s cannot be read: the game starts with its defaults", qUtf8Printable(own));
    return std::nullopt;
}

bool write(const Settings& settings)
{
    const QString file = path();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        qCDebug(lcHexSettings, "settings not saved: the folder of %s cannot be made", qUtf8Printable(file));
        return false;
    }
    if (!writeFileAtomically(file, format(settings))) {
        qCDebug(lcHexSettings, "settings not saved to %s, the old file stays", qUtf8Printable(file));
        return false;
    }
    return true;
}

}
