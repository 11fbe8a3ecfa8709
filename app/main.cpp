#include "fMines9.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    fMines9 window;
    window.show();
    return QApplication::exec();
}
