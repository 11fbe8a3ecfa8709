#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <signal.h>

class QSocketNotifier;

// Ends the program on SIGTERM (a logout, a shutdown, kill) and SIGINT (Ctrl+C) as
// the player would: the main window is closed, so whatever its close saves is
// saved, and then every event loop is left, also those of modal dialogs still
// open over it. The handler itself only wakes the event loop; the closing runs on
// the window's thread like any other event. One at a time, for the life of the
// program's event loop; its end puts back the handlers there were before. A
// signal the program was started with ignored (as a shell starts background
// jobs for SIGINT) stays ignored.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(QWidget* window);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void closeWindow();

    QPointer<QWidget> m_window;
    std::array<int, 2> m_pipe{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_oldTerm {};
    struct sigaction m_oldInt {};
};
