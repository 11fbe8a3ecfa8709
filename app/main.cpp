#include "fMines9.h"

#include "QtTranslations.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    installQtTranslations(app);
    fMines9 window;
    window.show();
    return QApplication::exec();
}
