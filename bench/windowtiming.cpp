// Times what a player waits for on a real display, where the benchmarks cannot
// look: run it on an X server (Xvfb will do).
//
//   windowtiming firstframe   prints the wall clock (ns since the epoch) when the
//                             main window has painted for the first time, then
//                             quits; the caller subtracts its own start time
//   windowtiming item5        largest level, one opening click on the board, then
//                             "auto-complete, advanced" from the Compute menu;
//                             prints the time the handler took and the time until
//                             the window had painted the result; with "hold"
//                             the window stays a few seconds for a screenshot
#include "AppCodes.h"
#include "FieldCodes.h"
#include "PictureBox.h"
#include "cField.h"
#include "fMines9.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr quint32 Seed = 20240607;
constexpr int ItemScriptB = 5;

// Notices the end of the first paint of any widget of the window.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            // After this paint the frame is flushed to the screen before the
            // event loop goes idle again; report once it has.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

// Lets the window catch up: painting, layout, whatever was posted.
void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void click(PictureBox* box, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, box->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box, &release);
}

int item5(bool hold)
{
    fMines9 window;
    window.show();
    settle(300);
    window.Field->Randomize(Seed);
    window.mnuGame[GameItem::LastLevel]->trigger();
    settle(500);

    // The player's opening click, on the empty region that opens the most: the
    // heaviest case for what follows.
    cField& field = *window.Field;
    const int w = field.Xx(), h = field.Yy();
    const int count = field.cellCount();
    std::vector<int> region(static_cast<size_t>(count), -1);
    int best = -1, bestSize = 0;
    for (int start = 0; start < count; ++start) {
        const cCell* first = field.Cell(start);
        if (first->Mine() || first->Nr() != 0 || region[static_cast<size_t>(start)] >= 0)
            continue;
        std::vector<int> stack{start};
        region[static_cast<size_t>(start)] = start;
        int size = 0;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++size;
            for (int n : field.Cell(i)->Ngh()) {
                const cCell* next = field.Cell(n);
                if (!next->Mine() && next->Nr() == 0 && region[static_cast<size_t>(n)] < 0) {
                    region[static_cast<size_t>(n)] = start;
                    stack.push_back(n);
                }
            }
        }
        if (size > bestSize) {
            best = start;
            bestSize = size;
        }
    }
    if (best < 0)
        return 1;
    const int pitch = field.cDim() / 15;
    click(window.Picture1, QPoint(best % w * pitch + pitch / 2, best / w * pitch + pitch / 2));
    settle(500);
    int opened = 0;
    for (int i = 0; cCell* cell = field.Cell(i); ++i)
        opened += cell->Status() == CellStatus::Opened;

    QElapsedTimer t;
    t.start();
    window.mnuComp[ItemScriptB]->trigger();
    const double handler = t.nsecsElapsed() / 1e6;
    // Until the window has painted what the command did.
    QApplication::processEvents();
    QApplication::sync();
    const double painted = t.nsecsElapsed() / 1e6;

    int flagged = 0, covered = 0;
    for (int i = 0; cCell* cell = field.Cell(i); ++i) {
        flagged += cell->Status() == CellStatus::Flagged;
        covered += cell->Status() == CellStatus::Covered;
    }
    std::printf("board %d x %d, %d mines, size %d; opening click on cell %d opened %d cells\n", w, h,
                field.MTot(), field.Size(), best, opened);
    std::printf("item 5: handler %.1f ms, painted %.1f ms; %d flags, %d covered left, status %d, counter %s\n",
                handler, painted, flagged, covered, field.FldStatus(), qPrintable(window.lblMines->text()));
    std::fflush(stdout);
    // Time for a screenshot of the result.
    if (hold)
        settle(4000);
    return 0;
}
}

int main(int argc, char** argv)
{
    // Started as the game is, so its start-up (notification included) is the game's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "firstframe") == 0) {
        FirstPaint first;
        app.installEventFilter(&first);
        fMines9 window;
        window.show();
        return QApplication::exec();
    }
    if (argc > 1 && std::strcmp(argv[1], "item5") == 0)
        return item5(argc > 2 && std::strcmp(argv[2], "hold") == 0);
    std::fprintf(stderr, "usage: windowtiming firstframe | item5\n");
    return 2;
}
