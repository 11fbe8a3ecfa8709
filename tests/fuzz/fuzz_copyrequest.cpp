#include "CopyRequest.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Feeds any bytes to the reader of a later copy's request. It must never crash;
// a file it accepts is a whole name without a null byte, and asking for that
// file again reads back as the same file.

namespace {
void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz_copyrequest: %s\n", what);
        std::abort();
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QString> file = CopyRequest::decode(line);
    if (!file || file->isEmpty())
        return 0;
    check(file->startsWith(u'/') && !file->contains(QChar(u'\0')), "a name that is not whole is accepted");
    QByteArray again = CopyRequest::encode(*file);
    check(again.endsWith('\n') && again.count('\n') == 1, "a request is not one line");
    again.chop(1);
    check(CopyRequest::decode(again) == file, "a file asked for again reads as another");
    return 0;
}
