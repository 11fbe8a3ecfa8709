#include "fMines9.h"
#include "mGlobal.h"

#include "QtTranslations.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

int main(int argc, char* argv[])
{
    // The notification component embeds a web view, which needs this set before
    // the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/gridwarden.png")));
    installQtTranslations(app);
    // A minefield file handed over by the desktop (a double-click on a .fld) is
    // imported as the File menu would; anything else on the line is not ours.
    const QStringList arguments = QApplication::arguments();
    const QString file = arguments.size() > 1 ? arguments.at(1) : QString();
    fMines9 window;
    if (window.endsAtOnce()) {
        // The copy already running takes the file and comes to the front instead.
        mGlobal::handOver(file);
        return 0;
    }
    if (!file.isEmpty())
        window.importMinefield(file);
    mGlobal::answerLaterCopies(window);
    // A logout or kill ends the game through its window's close, as the player would.
    const TerminationSignals termination(&window);
    window.show();
    return QApplication::exec();
}
