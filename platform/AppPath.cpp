#include "AppPath.h"

#include <QCoreApplication>

namespace {
QString& overridePath()
{
    static QString path;
    return path;
}
}

QString AppPath()
{
    const QString& path = overridePath();
    return path.isEmpty() ? QCoreApplication::applicationDirPath() : path;
}

void setAppPath(const QString& folder)
{
    overridePath() = folder;
}
