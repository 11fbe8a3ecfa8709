#include "AppTests.h"

#include "AppPath.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Closing a window under test must not end the application for the next test.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every window runs the game's start-up: with a registry of its own and a
    // program folder without the notification component, it finds none to show.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir programFolder;
    setAppPath(programFolder.path());
    // A lock folder of its own: a game the player has open must not make the
    // windows under test later copies, and the copies the tests start find these
    // windows there. Made before the lock it will hold, so removed after it.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    int failed = 0;
    failed += runMainWindowTests(argc, argv);
    failed += runCustomDialogTests(argc, argv);
    failed += runHelpTests(argc, argv);
    failed += runOddsTests(argc, argv);
    return failed;
}
