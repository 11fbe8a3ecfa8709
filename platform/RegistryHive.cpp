#include "RegistryHive.h"

#include <QList>
#include <QUrl>

namespace {
// The first line of every hive file; a file without it is not a hive.
constexpr char kHeader[] = "REGISTRY-HIVE 1";
constexpr char kReadOnlyMark[] = " read-only";

QString folded(const QString& text)
{
    return text.toCaseFolded();
}

// Names and paths may hold any character, the line's own separators included, so
// they are percent-encoded on disk; backslashes and braces stay as they are, so
// that key paths and class ids remain legible.
constexpr char kLegible[] = "\\{}";

QByteArray encodeText(const QString& text)
{
    return QUrl::toPercentEncoding(text, kLegible);
}

bool decodeText(const QByteArray& bytes, QString& text)
{
    // Only what the writer produces is accepted: unreserved characters and %XX.
    for (char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                           || c == '-' || c == '.' || c == '_' || c == '~' || c == '%' || c == '\\' || c == '{'
                           || c == '}';
        if (!plain)
            return false;
    }
    const QByteArray raw = QByteArray::fromPercentEncoding(bytes);
    text = QString::fromUtf8(raw);
    // A name that does not come back to the same bytes was not written by us.
    return text.toUtf8() == raw && encodeText(text) == bytes;
}

bool decodeHex(const QByteArray& bytes, QByteArray& data)
{
    if (bytes.size() % 2 != 0)
        return false;
    for (char c : bytes) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    data = QByteArray::fromHex(bytes);
    return true;
}

bool decodeType(const QByteArray& bytes, std::uint32_t& type)
{
    if (bytes.isEmpty() || bytes.size() > 10)
        return false;
    for (char c : bytes) {
        if (c < '0' || c > '9')
            return false;
    }
    bool ok = false;
    const qulonglong n = bytes.toULongLong(&ok);
    if (!ok || n > 0xFFFFFFFFull)
        return false;
    type = static_cast<std::uint32_t>(n);
    return true;
}
}

QString RegistryHive::normalPath(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

const RegistryHive::Key* RegistryHive::key(const QString& path) const
{
    const auto it = m_keys.constFind(folded(normalPath(path)));
    return it == m_keys.constEnd() ? nullptr : &*it;
}

RegistryHive::Key* RegistryHive::key(const QString& path)
{
    const auto it = m_keys.find(folded(normalPath(path)));
    return it == m_keys.end() ? nullptr : &*it;
}

RegistryHive::Key& RegistryHive::createKey(const QString& path)
{
    const QStringList parts = normalPath(path).split(u'\\', Qt::SkipEmptyParts);
    // Every key above a key exists, the root included, as in the registry.
    QString current;
    Key* last = nullptr;
    for (qsizetype i = -1; i < parts.size(); ++i) {
        if (i >= 0)
            current = current.isEmpty() ? parts[i] : current + u'\\' + parts[i];
        auto it = m_keys.find(folded(current));
        if (it == m_keys.end())
            it = m_keys.insert(folded(current), Key{current, false, {}});
        last = &*it;
    }
    return *last;
}

void RegistryHive::removeKey(const QString& path)
{
    m_keys.remove(folded(normalPath(path)));
}

bool RegistryHive::hasSubKeys(const QString& path) const
{
    const QString prefix = folded(normalPath(path)) + u'\\';
    for (auto it = m_keys.constBegin(); it != m_keys.constEnd(); ++it) {
        if (prefix.size() == 1 ? !it.key().isEmpty() : it.key().startsWith(prefix))
            return true;
    }
    return false;
}

void RegistryHive::setValue(const QString& path, const QString& name, std::uint32_t type,
                            const QByteArray& data)
{
    Key& k = createKey(path);
    k.values.insert(folded(name), Value{name, type, data});
}

QByteArray RegistryHive::serialize() const
{
    QByteArray out = kHeader;
    out += '\n';
    for (const Key& k : m_keys) {
        out += '[' + encodeText(k.path) + ']';
        if (k.readOnly)
            out += kReadOnlyMark;
        out += '\n';
        for (const Value& v : k.values)
            out += encodeText(v.name) + '=' + QByteArray::number(v.type) + ':' + v.data.toHex() + '\n';
    }
    return out;
}

RegistryHive RegistryHive::parse(const QByteArray& bytes)
{
    RegistryHive hive;
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.front() != kHeader)
        return hive;
    // Values belong to the key line above them; values under a line that did not
    // read as a key are dropped with it.
    Key* current = nullptr;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            current = nullptr;
            const qsizetype close = line.indexOf(']');
            if (close < 0)
                continue;
            const QByteArray rest = line.mid(close + 1);
            if (!rest.isEmpty() && rest != kReadOnlyMark)
                continue;
            QString path;
            if (!decodeText(line.mid(1, close - 1), path) || normalPath(path) != path)
                continue;
            current = &hive.createKey(path);
            current->readOnly = !rest.isEmpty();
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf('=');
        const qsizetype colon = line.indexOf(':', eq + 1);
        if (eq < 0 || colon < 0)
            continue;
        QString name;
        std::uint32_t type = 0;
        QByteArray data;
        if (!decodeText(line.left(eq), name) || !decodeType(line.mid(eq + 1, colon - eq - 1), type)
            || !decodeHex(line.mid(colon + 1), data))
            continue;
        current->values.insert(folded(name), Value{name, type, data});
    }
    return hive;
}
