#include "AppTests.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Closing a window under test must not end the application for the next test.
    QApplication::setQuitOnLastWindowClosed(false);
    int failed = 0;
    failed += runMainWindowTests(argc, argv);
    failed += runCustomDialogTests(argc, argv);
    failed += runHelpTests(argc, argv);
    return failed;
}
