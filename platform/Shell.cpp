#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace {
std::function<void(const ShellCall&)>& recorder()
{
    static std::function<void(const ShellCall&)> r;
    return r;
}

QUrl urlFor(const QString& file, const QString& directory)
{
    const QUrl url(file, QUrl::StrictMode);
    // A one-letter scheme is a drive, not a protocol; anything else with a scheme
    // (http, https, mailto, file) is an address as it stands.
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    const QString base = directory.isEmpty() ? QDir::currentPath() : directory;
    return QUrl::fromLocalFile(QDir(base).absoluteFilePath(file));
}
}

void ShellExecute(QWidget* /*owner*/, const QString& verb, const QString& file,
                  const QString& parameters, const QString& directory, int showCmd)
{
    if (recorder()) {
        recorder()(ShellCall{verb, file, parameters, directory, showCmd});
        return;
    }
    if (file.isEmpty())
        return;
    QDesktopServices::openUrl(urlFor(file, directory));
}

bool Shell(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

void setShellRecorder(std::function<void(const ShellCall&)> nRecorder)
{
    recorder() = std::move(nRecorder);
}
