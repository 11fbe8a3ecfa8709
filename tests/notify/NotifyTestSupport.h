#pragma once

#include "Registry.h"
#include "RuntimeError.h"
#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

// Each test program keeps its hives under a home of its own: Qt's test mode moves
// the configuration folder aside, and the private home keeps programs that run
// side by side from clearing each other's hives. The session's runtime folder,
// where running programs and shown windows hold their locks, is its own too.
class PrivateHome {
public:
    PrivateHome()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
        const QString runtime = QDir(m_home.path()).filePath(QStringLiteral("run"));
        QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

private:
    QTemporaryDir m_home;
};

// Each test starts from an empty registry.
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

// Programs started by a test see the same hives as the test itself, through the
// variable that moves the registry.
inline QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DORVIK_REGISTRY_DIR"), QFileInfo(registryHivePath(HKEY_LOCAL_MACHINE)).absolutePath());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// The number of the run-time error a call raises; 0 when it raises none.
template <typename Call>
int errorOf(const Call& call)
{
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}
