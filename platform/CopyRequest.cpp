#include "CopyRequest.h"

#include <QFile>

namespace {
constexpr char Activate[] = "activate";
constexpr char Open[] = "open ";
constexpr char Done[] = "done\n";
// Slashes stay readable; everything else that could break the line (spaces,
// line ends, bytes of any encoding) is encoded.
constexpr char KeptAsIs[] = "/";
}

namespace CopyRequest {

QByteArray encode(const QString& file)
{
    if (file.isEmpty())
        return QByteArray(Activate) + '\n';
    return QByteArray(Open) + QFile::encodeName(file).toPercentEncoding(KeptAsIs) + '\n';
}

std::optional<QString> decode(const QByteArray& line)
{
    if (line.size() > MaxLineBytes)
        return std::nullopt;
    if (line == Activate)
        return QString();
    if (!line.startsWith(Open))
        return std::nullopt;
    const QByteArray name = QByteArray::fromPercentEncoding(line.mid(qsizetype(sizeof Open) - 1));
    if (!name.startsWith('/') || name.contains('\0'))
        return std::nullopt;
    return QFile::decodeName(name);
}

QByteArray acknowledgement()
{
    return Done;
}

}
