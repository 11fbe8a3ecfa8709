#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a later copy of a game asks of the copy already running, one line over
// the running copy's local socket: "activate", or "open " and the percent-encoded
// bytes of an absolute file name (the copy then also opens that file). The
// running copy answers a request it understood with one line, "done".
namespace CopyRequest {
// The longest request line a running copy reads: room for the longest file name
// the system allows, every byte of it encoded. Anything longer is not ours.
inline constexpr qsizetype MaxLineBytes = 16 * 1024;

QByteArray encode(const QString& file);   // an empty file name asks only to come forward
// The file a request line (without its line end) asks for: empty to come forward
// only; nothing when the line is no request (unknown, damaged, a name that is not
// absolute or holds a null byte, too long).
std::optional<QString> decode(const QByteArray& line);

QByteArray acknowledgement();   // with its line end
}
