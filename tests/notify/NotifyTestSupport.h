#pragma once

#include "Registry.h"
#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

// The tests' own hives: Qt's test mode moves the configuration folder aside, and
// each test starts from an empty registry.
inline void clearHives()
{
    QDir(QFileInfo(registryHivePath(HKEY_LOCAL_MACHINE)).absolutePath()).removeRecursively();
}

// Puts a hive file in place as an installer or another program would leave it.
inline bool writeHive(HKEY root, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(registryHivePath(root)).absolutePath());
    return writeFileAtomically(registryHivePath(root), text);
}

// Programs started by a test see the same hives as the test itself.
inline QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}
