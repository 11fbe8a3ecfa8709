// regsvr [-u] LIBRARY: lets a component library enter itself in the registry
// (or, with -u, take itself out), so that programs can create it by name.
// Exit status 0 when the library did so, 1 otherwise.

#include "Com.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

#include <cstdio>

int main(int argc, char* argv[])
{
    // A component may bring a web engine with it, which wants this set before any
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool unregister = args.removeAll(QStringLiteral("-u")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: regsvr [-u] LIBRARY\n");
        return 1;
    }
    // An absolute path, so that the library is the file named and not one the
    // loader would find somewhere on its search path.
    QLibrary library(QFileInfo(args.front()).absoluteFilePath());
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto function = reinterpret_cast<DllRegisterServerFn>(library.resolve(entry));
    if (!function) {
        std::fprintf(stderr, "regsvr: %s\n", qPrintable(library.errorString()));
        return 1;
    }
    const HRESULT result = function();
    if (result != S_OK) {
        std::fprintf(stderr, "regsvr: %s failed (0x%08x)\n", entry, static_cast<unsigned>(result));
        return 1;
    }
    return 0;
}
