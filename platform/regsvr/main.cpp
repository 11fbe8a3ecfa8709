// regsvr [-u] LIBRARY: lets a component library enter itself in the registry
// (or, with -u, take itself out), so that programs can create it by name.
// Exit status 0 when the library did so, 1 otherwise, with the reason on stderr.

#include "Com.h"
#include "Registry.h"

#include <QCoreApplication>

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
    // The library is the file named, never one the loader would find on its search path.
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    QString problem;
    const auto function = reinterpret_cast<DllRegisterServerFn>(resolveComponentEntry(args.front(), entry, &problem));
    if (!function) {
        std::fprintf(stderr, "regsvr: %s\n", qPrintable(problem));
        return 1;
    }
    const HRESULT result = function();
    if (result != S_OK) {
        const QString reason = registryLastFailure();
        std::fprintf(stderr, "regsvr: %s failed (0x%08x)%s%s\n", entry, static_cast<unsigned>(result),
                     reason.isEmpty() ? "" : ": ", qPrintable(reason));
        return 1;
    }
    return 0;
}
