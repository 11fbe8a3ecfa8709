#include "RegistryHive.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds any bytes to the registry hive reader. It must never crash; what it reads
// must be a hive it can write back, and reading that back must give the very
// same keys and values, so a hive that survives one save survives them all.

namespace {
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_registry: %s\n", what);
    std::abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RegistryHive hive = RegistryHive::parse(bytes);
    const QByteArray written = hive.serialize();
    const RegistryHive again = RegistryHive::parse(written);
    if (!(again == hive))
        fail("a hive read back differs from the one written");
    if (again.serialize() != written)
        fail("writing a hive twice gives different bytes");
    for (const RegistryHive::Key& key : hive.keys()) {
        if (RegistryHive::normalPath(key.path) != key.path)
            fail("a key path is not in its canonical form");
        if (!hive.key(key.path))
            fail("a key read cannot be found by its own path");
    }
    return 0;
}
