// A second program for the component tests, run as a process of its own:
//   tidingo_host notify          creates the component by name, calls Notify and
//                                prints the titles of the windows then shown,
//                                or "error N" for a run-time error (exit 2)
//   tidingo_host write NAME N    stores N values NAME0..NAME<N-1> one call each
//   tidingo_host hold            takes HKEY_LOCAL_MACHINE's hive lock, prints
//                                "held" and keeps it until it is killed
//   tidingo_host slot            takes a notification window's slot, prints its
//                                number and keeps it until it is killed
#include "Com.h"
#include "ComponentNames.h"
#include "HiveLock.h"
#include "Registry.h"
#include "RuntimeError.h"
#include "WindowSlot.h"
#include "modRegedit.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("write")) {
        for (int i = 0; i < args[3].toInt(); ++i) {
            if (!modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, QString::fromLatin1(ComponentNames::SettingsKey),
                                            args[2] + QString::number(i), QString::number(i)))
                return 1;
        }
        return 0;
    }
    if (args.size() == 2 && args[1] == QLatin1String("hold")) {
        HiveLock lock(registryHivePath(HKEY_LOCAL_MACHINE));
        if (lock.lock(std::chrono::steady_clock::now()) != HiveLock::Result::Locked)
            return 1;
        std::printf("held\n");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    if (args.size() == 2 && args[1] == QLatin1String("slot")) {
        WindowSlot slot;
        std::printf("%d\n", slot.take());
        std::fflush(stdout);
        for (;;)
            pause();
    }
    if (args.size() == 2 && args[1] == QLatin1String("notify")) {
        try {
            std::unique_ptr<QObject> object = CreateObject(QString::fromLatin1(ComponentNames::ProgId));
            CallByName(object.get(), "Notify",
                       {QStringLiteral("gridwarden"), QStringLiteral("Other information,Not used.")});
        } catch (const RuntimeError& error) {
            std::printf("error %d\n", error.number());
            return 2;
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                std::printf("%s\n", window->windowTitle().toUtf8().constData());
        }
        // As a game's end does: the window goes with the application.
        qDeleteAll(QApplication::topLevelWidgets());
        return 0;
    }
    return 64;
}
