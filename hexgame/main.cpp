#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Names the player's data folder, where an installed copy keeps its scores.
    QApplication::setApplicationName(QStringLiteral("patternsweep"));
    Form1 window;
    if (window.endsAtOnce())
        return 0;
    window.show();
    return QApplication::exec();
}
