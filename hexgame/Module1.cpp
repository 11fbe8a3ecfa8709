#include "Module1.h"

#include "Form1.h"

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
    if (window.endsAtOnce())
        return 0;
    const TerminationSignals termination(&window);
    window.show();
    return QApplication::exec();
}

}
