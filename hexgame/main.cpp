#include "Form1.h"

#include "QtTranslations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    // The notification component embeds a web view, which needs this set before
    // the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Names the player's data folder, where an installed copy keeps its scores.
    QApplication::setApplicationName(QStringLiteral("patternsweep"));
    installQtTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/patternsweep.png")));
    Form1 window;
    if (window.endsAtOnce())
        return 0;
    window.show();
    return QApplication::exec();
}
