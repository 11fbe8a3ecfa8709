#include "RegistryHive.h"

#include <QByteArrayView>

#include <vector>

namespace {
// The first line of every hive file; a file without it is not a hive.
constexpr char kHeader[] = "REGISTRY-HIVE 1";
constexpr char kReadOnlyMark[] = " read-only";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kNibbleBits = 4;
constexpr int kHexBase = 16;
constexpr qsizetype kMaxTypeDigits = 10;

QString folded(const QString& text)
{
    return text.toCaseFolded();
}

// Names and paths may hold any character, the line's own separators included, so
// they are percent-encoded on disk (UTF-8, upper-case hex); letters, digits,
// "-._~" and, so that key paths and class ids remain legible, backslashes and
// braces stay as they are.
bool isPlain(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
           || c == '_' || c == '~' || c == '\\' || c == '{' || c == '}';
}

int upperHexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int lowerHexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray encodeText(const QString& text)
{
    const QByteArray raw = text.toUtf8();
    QByteArray out;
    out.reserve(raw.size());
    for (const char c : raw) {
        if (isPlain(c)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHexDigits[byte >> kNibbleBits];
        out += kHexDigits[byte & 0xF];
    }
    return out;
}

// Only what encodeText produces is accepted, so that a name read and written back
// gives the very same bytes: anything else was not written by us.
bool decodeText(QByteArrayView bytes, QString& text)
{
    if (!bytes.contains('%')) {
        // Nothing encoded: plain ASCII, the common case for key paths.
        for (const char c : bytes) {
            if (!isPlain(c))
                return false;
        }
        text = QString::fromLatin1(bytes);
        return true;
    }
    QByteArray raw(bytes.size(), Qt::Uninitialized);
    char* out = raw.data();
    bool ascii = true;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (isPlain(c)) {
            *out++ = c;
            continue;
        }
        if (c != '%' || i + 2 >= bytes.size())
            return false;
        const int high = upperHexValue(bytes[i + 1]);
        const int low = upperHexValue(bytes[i + 2]);
        if (high < 0 || low < 0)
            return false;
        const char byte = static_cast<char>(high * kHexBase + low);
        if (isPlain(byte))
            return false;
        ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
        *out++ = byte;
        i += 2;
    }
    raw.truncate(out - raw.data());
    text = QString::fromUtf8(raw);
    // Bytes that are not UTF-8 would come back changed.
    return ascii || text.toUtf8() == raw;
}

bool decodeHex(QByteArrayView bytes, QByteArray& data)
{
    if (bytes.size() % 2 != 0)
        return false;
    data.resize(bytes.size() / 2);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const int high = lowerHexValue(bytes[2 * i]);
        const int low = lowerHexValue(bytes[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        data[i] = static_cast<char>(high * kHexBase + low);
    }
    return true;
}

bool decodeType(QByteArrayView bytes, std::uint32_t& type)
{
    if (bytes.isEmpty() || bytes.size() > kMaxTypeDigits)
        return false;
    std::uint64_t n = 0;
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > 0xFFFFFFFFull)
        return false;
    type = static_cast<std::uint32_t>(n);
    return true;
}

// The folded path of the key directly above; "" for a key at the top.
QString parentOf(const QString& foldedPath)
{
    const qsizetype cut = foldedPath.lastIndexOf(u'\\');
    return cut < 0 ? QString() : foldedPath.left(cut);
}

// One key line, "[path]" or "[path] read-only"; false for anything the writer
// does not produce.
bool decodeKeyLine(QByteArrayView line, QString& path, bool& readOnly)
{
    const qsizetype close = line.indexOf(']');
    if (line.isEmpty() || line.front() != '[' || close < 0)
        return false;
    const QByteArrayView rest = line.sliced(close + 1);
    if (!rest.isEmpty() && rest != QByteArrayView(kReadOnlyMark))
        return false;
    readOnly = !rest.isEmpty();
    return decodeText(line.sliced(1, close - 1), path) && !path.startsWith(u'\\') && !path.endsWith(u'\\')
           && !path.contains(QLatin1String("\\\\")) && RegistryHive::keyPathFits(path);
}

// One value line, "name=type:hex".
bool decodeValueLine(QByteArrayView line, RegistryHive::Value& value)
{
    const qsizetype eq = line.indexOf('=');
    const qsizetype colon = eq < 0 ? -1 : line.indexOf(':', eq + 1);
    return colon >= 0 && decodeText(line.first(eq), value.name) && RegistryHive::valueNameFits(value.name)
           && decodeType(line.sliced(eq + 1, colon - eq - 1), value.type)
           && decodeHex(line.sliced(colon + 1), value.data);
}

// Whether plain ASCII text, folded, is the folded text given.
bool equalsFoldedAscii(QByteArrayView text, QStringView foldedText)
{
    if (text.size() != foldedText.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (foldedText[i] != QLatin1Char(lower))
            return false;
    }
    return true;
}

// Hands every line after the header to onLine, empty ones left out; false when
// the header is not there.
template <typename OnLine>
bool forEachLine(const QByteArray& bytes, const OnLine& onLine)
{
    const QByteArrayView all(bytes);
    qsizetype end = all.indexOf('\n');
    if (all.first(end < 0 ? all.size() : end) != QByteArrayView(kHeader))
        return false;
    while (end >= 0) {
        const qsizetype start = end + 1;
        end = all.indexOf('\n', start);
        const QByteArrayView line = all.sliced(start, (end < 0 ? all.size() : end) - start);
        if (!line.isEmpty())
            onLine(line);
    }
    return true;
}
}

QString RegistryHive::normalPath(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

bool RegistryHive::keyPathFits(const QString& path)
{
    qsizetype depth = path.isEmpty() ? 0 : 1;
    qsizetype nameLength = 0;
    for (const QChar c : path) {
        if (c == u'\\') {
            ++depth;
            nameLength = 0;
        } else if (++nameLength > MaxKeyNameLength) {
            return false;
        }
    }
    return depth <= MaxKeyDepth;
}

bool RegistryHive::valueNameFits(const QString& name)
{
    return name.size() <= MaxValueNameLength;
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
    const QString normal = normalPath(path);
    if (const auto it = m_keys.find(folded(normal)); it != m_keys.end())
        return *it;
    // Every key above a key exists, the root included, as in the registry: walk up
    // to the nearest one there is, then make the missing ones downwards.
    std::vector<qsizetype> missing{normal.size()};
    for (qsizetype end = normal.size(); end > 0;) {
        const qsizetype cut = normal.lastIndexOf(u'\\', end - 1);
        end = cut < 0 ? 0 : cut;
        if (m_keys.contains(folded(normal.left(end))))
            break;
        missing.push_back(end);
    }
    Key* made = nullptr;
    for (auto end = missing.rbegin(); end != missing.rend(); ++end)
        made = &*m_keys.insert(folded(normal.left(*end)), Key{normal.left(*end), false, {}});
    return *made;
}

void RegistryHive::removeKey(const QString& path)
{
    m_keys.remove(folded(normalPath(path)));
}

bool RegistryHive::hasSubKeys(const QString& path) const
{
    const QString foldedPath = folded(normalPath(path));
    if (foldedPath.isEmpty())
        return m_keys.size() > (m_keys.contains(QString()) ? 1 : 0);
    // Keys below a key sort right after it and before any other key.
    const QString prefix = foldedPath + u'\\';
    const auto it = m_keys.lowerBound(prefix);
    return it != m_keys.constEnd() && it.key().startsWith(prefix);
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
    // Sorted by folded path, so every key comes after the key above it: the
    // reader relies on that.
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

RegistryHive RegistryHive::parse(const QByteArray& bytes, bool* complete)
{
    RegistryHive hive;
    bool damaged = false;
    // Values belong to the key line above them; values under a line that did not
    // read as a key are dropped with it.
    Key* current = nullptr;
    const auto readKey = [&hive](QByteArrayView line) -> Key* {
        QString path;
        bool readOnly = false;
        if (!decodeKeyLine(line, path, readOnly))
            return nullptr;
        const QString foldedPath = folded(path);
        // The writer puts every key after the one above it, so a key whose parent
        // has not been read is not ours. Taking it on its own, with no keys made
        // up above it, keeps reading linear in the file's size. The root is there
        // before anything is stored under it.
        if (!foldedPath.isEmpty()) {
            const QString parent = parentOf(foldedPath);
            if (!hive.m_keys.contains(parent)) {
                if (!parent.isEmpty())
                    return nullptr;
                hive.m_keys.insert(QString(), Key{});
            }
        }
        // Keys come sorted, so the place found is nearly always the end.
        const auto it = hive.m_keys.lowerBound(foldedPath);
        if (it != hive.m_keys.end() && it.key() == foldedPath)
            return nullptr;
        return &*hive.m_keys.insert(it, foldedPath, Key{path, readOnly, {}});
    };
    const bool isHive = forEachLine(bytes, [&](QByteArrayView line) {
        if (line.front() == '[') {
            current = readKey(line);
            damaged = damaged || !current;
            return;
        }
        Value value;
        if (!current || !decodeValueLine(line, value)) {
            damaged = true;
            return;
        }
        const QString name = folded(value.name);
        const auto it = current->values.lowerBound(name);
        if (it != current->values.end() && it.key() == name) {
            damaged = true;
            return;
        }
        current->values.insert(it, name, std::move(value));
    });
    if (complete)
        *complete = isHive ? !damaged : bytes.isEmpty();
    return hive;
}

std::optional<RegistryHive::Key> RegistryHive::findKey(const QByteArray& bytes, const QString& path)
{
    // The folded paths from the root down to the key, as lengths of the key's own
    // path: a key on this chain is read only when the one above it was, as parse()
    // does, and nothing else is kept. A key beyond the bounds is never read.
    const QString target = folded(normalPath(path));
    if (!keyPathFits(target))
        return std::nullopt;
    std::vector<qsizetype> chain{0};
    for (qsizetype cut = target.indexOf(u'\\'); cut >= 0; cut = target.indexOf(u'\\', cut + 1))
        chain.push_back(cut);
    if (!target.isEmpty())
        chain.push_back(target.size());
    const auto levels = static_cast<qsizetype>(chain.size());
    std::vector<bool> present(chain.size(), false);
    std::optional<Key> found;
    bool inTarget = false;
    forEachLine(bytes, [&](QByteArrayView line) {
        if (line.front() != '[') {
            Value value;
            if (!inTarget || !decodeValueLine(line, value))
                return;
            const QString name = folded(value.name);
            if (!found->values.contains(name))
                found->values.insert(name, std::move(value));
            return;
        }
        inTarget = false;
        const qsizetype close = line.indexOf(']');
        if (close < 0)
            return;
        // Backslashes are never encoded, so a key's depth shows before its path is
        // decoded, and a path of plain characters reads as itself: most lines are
        // passed over here. A key at the top still counts until the root is there,
        // as it brings the root with it.
        const QByteArrayView encoded = line.sliced(1, close - 1);
        qsizetype depth = encoded.isEmpty() ? 0 : encoded.count('\\') + 1;
        const bool bringsRoot = depth == 1 && !present[0];
        if (!bringsRoot
            && (depth >= levels
                || (!encoded.contains('%')
                    && !equalsFoldedAscii(encoded, QStringView(target).first(chain[static_cast<std::size_t>(depth)])))))
            return;
        QString keyPath;
        bool readOnly = false;
        if (!decodeKeyLine(line, keyPath, readOnly))
            return;
        const QString foldedPath = folded(keyPath);
        if (bringsRoot) {
            present[0] = true;
            if (levels == 1)
                found = Key{};
        }
        const auto at = static_cast<std::size_t>(depth);
        if (depth >= levels || QStringView(target).first(chain[at]) != foldedPath)
            return;
        if (present[at] || (depth > 0 && !present[at - 1]))
            return;
        present[at] = true;
        if (depth == levels - 1) {
            found = Key{keyPath, readOnly, {}};
            inTarget = true;
        }
    });
    return found;
}
