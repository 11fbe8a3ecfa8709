#include "mGlobal.h"

#include "fMines9.h"

#include "LaterCopies.h"
#include "StartNotice.h"

#include <QFileInfo>
#include <QString>

namespace mGlobal {

bool NotifyStart()
{
    return NotifyStartAsOnlyCopy(QString::fromLatin1(ProgramName));
}

void handOver(const QString& file)
{
    // The running copy has a working folder of its own: only a whole name means
    // the same file there.
    LaterCopies::handOver(QString::fromLatin1(ProgramName),
                          file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath());
}

void answerLaterCopies(fMines9& window)
{
    LaterCopies::answer(&window, QString::fromLatin1(ProgramName),
                        [&window](const QString& file) { window.importMinefield(file); });
}

}
