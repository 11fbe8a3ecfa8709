#include "Component.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

namespace Component {

QString File()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&File), &info) != 0 && info.dli_fname && *info.dli_fname) {
        const QFileInfo file(QFile::decodeName(info.dli_fname));
        if (file.isAbsolute() && file.exists())
            return file.absoluteFilePath();
    }
    // Linked into a program, the loader may name it only as it was started.
    return QCoreApplication::applicationFilePath();
}

QString Folder()
{
    const QString file = File();
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

QString LocalPage()
{
    return QDir(Folder()).filePath(QStringLiteral("duderazive.htm"));
}

}
