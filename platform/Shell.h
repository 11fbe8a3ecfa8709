#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The desktop's handler for an address or a file: web pages open in the default
// browser, local files in the application the desktop chose for their type. The
// verb, parameters, folder and show mode are kept as the caller gives them, so a
// recorder sees exactly what was asked; the desktop itself needs only the file,
// resolved against the folder when it is a relative path.
void ShellExecute(QWidget* owner, const QString& verb, const QString& file,
                  const QString& parameters, const QString& directory, int showCmd);

// Starts a program as a process of its own that outlives this one; false when it
// could not be started.
bool Shell(const QString& program, const QStringList& arguments);

struct ShellCall {
    QString verb, file, parameters, directory;
    int showCmd = 0;
};

// Tests put a recorder in place of the desktop; nullptr restores the desktop.
void setShellRecorder(std::function<void(const ShellCall&)> recorder);

// The show modes callers pass.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
