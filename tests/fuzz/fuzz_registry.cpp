#include "RegistryHive.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds any bytes to the registry hive reader. It must never crash; what it reads
// must be a hive it can write back, and reading that back must give the very
// same keys and values, in full, so a hive that survives one save survives them
// all and a writer never locks itself out of its own hive. The reader of single
// keys must agree with the whole reader on every key the input names.

namespace {
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_registry: %s\n", what);
    std::abort();
}

// Every path the input's key lines spell, decoded as far as that goes, and a
// key below each: found or not, both readers must say the same.
QList<QString> pathsNamedIn(const QByteArray& bytes)
{
    QList<QString> paths{QString()};
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype close = line.indexOf(']');
        if (!line.startsWith('[') || close < 0)
            continue;
        const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(1, close - 1)));
        paths << path << path + QStringLiteral("\\a");
    }
    return paths;
}

void checkSameKey(const RegistryHive& hive, const QByteArray& bytes, const QString& path)
{
    const RegistryHive::Key* whole = hive.key(path);
    const std::optional<RegistryHive::Key> single = RegistryHive::findKey(bytes, path);
    if (bool(whole) != bool(single) || (whole && !(*whole == *single)))
        fail("reading one key gives another answer than reading the whole hive");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RegistryHive hive = RegistryHive::parse(bytes);
    const QByteArray written = hive.serialize();
    bool complete = false;
    const RegistryHive again = RegistryHive::parse(written, &complete);
    if (!complete)
        fail("a hive as written reads as damaged");
    if (!(again == hive))
        fail("a hive read back differs from the one written");
    if (again.serialize() != written)
        fail("writing a hive twice gives different bytes");
    for (const RegistryHive::Key& key : hive.keys()) {
        if (RegistryHive::normalPath(key.path) != key.path || !RegistryHive::keyPathFits(key.path))
            fail("a key path is not in its canonical form or beyond the bounds");
        for (const RegistryHive::Value& value : key.values) {
            if (!RegistryHive::valueNameFits(value.name))
                fail("a value name is beyond the bounds");
        }
        if (!hive.key(key.path))
            fail("a key read cannot be found by its own path");
        checkSameKey(hive, bytes, key.path);
    }
    for (const QString& path : pathsNamedIn(bytes))
        checkSameKey(hive, bytes, path);
    return 0;
}
