#include "Module1.h"

#include "Form1.h"

#include "LaterCopies.h"
#include "QtTranslations.h"
#include "StartNotice.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QIcon>

namespace Module1 {

bool NotifyStart()
{
    return NotifyStartAsOnlyCopy(QString::fromLatin1(ProgramName));
}

void prepareApplication()
{
    // The notification component embeds a web view, which needs this set before
    // the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void setUpApplication(QApplication& app)
{
    // Names the player's data folder, where an installed copy keeps its scores.
    QApplication::setApplicationName(QString::fromLatin1(ProgramName));
    installQtTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/patternsweep.png")));
}

int runWindow(Form1& window)
{
    const QString programName = QString::fromLatin1(ProgramName);
    if (window.endsAtOnce()) {
        // The copy already running comes to the front instead.
        LaterCopies::handOver(programName, QString());
        return 0;
    }
    LaterCopies::answer(&window, programName);
    const TerminationSignals termination(&window);
    window.show();
    return QApplication::exec();
}

}
