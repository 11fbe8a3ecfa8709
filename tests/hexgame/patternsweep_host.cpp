// The game as a process of its own, set up as the program is:
//   patternsweep_host FOLDER NAME
// keeps its settings file in FOLDER, wins a beginner game at once, answers the
// name prompt with NAME and prints "answered"; the score board then stays open
// until something ends the process.
#include "Form1.h"
#include "HexCodes.h"
#include "Module1.h"

#include "AppPath.h"
#include "InputBox.h"
#include "PictureBox.h"
#include "Rnd.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    Module1::prepareApplication();
    QApplication app(argc, argv);
    Module1::setUpApplication(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return 64;
    QStandardPaths::setTestModeEnabled(true);
    setAppPath(args[1]);
    Rnd::setSeedSource([] { return 20261208u; });
    setInputBoxAnswer([name = args[2]](const QString&, const QString&, const QString&) {
        std::printf("answered\n");
        std::fflush(stdout);
        return name;
    });
    Form1 window;
    QTimer::singleShot(0, &window, [&window] {
        window.menuLevel_Click(Level::Beginner);
        for (int y = 0; y < window.Rows; ++y) {
            for (int x = 0; x < window.Cols && window.Playing; ++x) {
                if (window.CellValue[size_t(x)][size_t(y)] == MineValue)
                    continue;
                const int left = Board::PitchX * x + (y % 2 == 0 ? Board::EvenRowShift : 0);
                window.Picture2_MouseDown(PictureBox::LeftButton, 0, float(left + Board::PitchX / 2),
                                          float(Board::PitchY * y + Board::PressTop + Board::PitchY / 2));
            }
        }
    });
    return Module1::runWindow(window);
}
