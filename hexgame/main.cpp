#include "Form1.h"
#include "Module1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Module1::prepareApplication();
    QApplication app(argc, argv);
    Module1::setUpApplication(app);
    Form1 window;
    return Module1::runWindow(window);
}
