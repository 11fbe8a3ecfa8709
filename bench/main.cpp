#include "RatioReporter.h"

#include "AppPath.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    // The board and window benchmarks paint into widgets; no display is needed for
    // that, but one that was asked for is used.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows measured here start as the game does, so they would call up the
    // notification window; a registry and a program folder of their own keep it away.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir programFolder;
    setAppPath(programFolder.path());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
