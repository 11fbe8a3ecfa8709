#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The one way the suite writes and reads files that outlive the program: minefield
// files, the hex game's settings file and the registry hives all go through here.

// Whether a file that cannot simply be replaced may be rewritten where it stands.
// A reader that takes no lock can see a file half rewritten, so files read that
// way (the registry's hives) are only ever replaced.
enum class InPlaceWrite { Allowed, Never };

// Replaces the file at path with bytes, or leaves it exactly as it was. True only
// when every byte reached the disk. Where the folder takes new files, the bytes go
// to a temporary file that replaces the old one in one step; where only the file
// itself is writable, or it has other names (hard links) that must see the new
// content too, it is rewritten in place, with its old bytes put back if the new
// ones do not all fit. Either way an existing file keeps its permissions. With
// InPlaceWrite::Never a file is always replaced: its other names keep the old
// content, and a folder that takes no new file refuses the write.
bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         InPlaceWrite inPlace = InPlaceWrite::Allowed);

// The whole content of a regular file of at most maxBytes bytes; nothing for
// anything else: a missing or unreadable file, a folder, a pipe, a device, or a
// file larger than maxBytes. Never waits on a writer, so the window's thread
// cannot hang on what a player picks.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The first maxLines lines of a regular file of any size, cut as LineSplitter cuts
// them and keeping at most maxLineBytes bytes of each. Reading stops once those
// lines have ended, or after maxScanBytes bytes: a line still under way there is
// dropped, since only a line that ends, or that the file ends, is known to be
// whole. Nothing for what readRegularFile refuses other than size (a missing or
// unreadable file, a folder, a pipe, a device) and for a read error. Never waits
// on a writer, and costs no more memory than the lines it keeps.
std::optional<QList<QByteArray>> readRegularFileLines(const QString& path, int maxLines, qint64 maxLineBytes,
                                                      qint64 maxScanBytes);
