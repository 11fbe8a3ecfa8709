#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <utility>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The pipe's write end, for the handler; -1 while nothing listens.
std::atomic<int> wakeFd{-1};

extern "C" void onTerminationSignal(int)
{
    // Only async-signal-safe calls here, and errno as the interrupted code left it.
    const int savedErrno = errno;
    const int fd = wakeFd.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}
}

TerminationSignals::TerminationSignals(QWidget* window) : m_window(window)
{
    if (wakeFd.load() >= 0 || ::pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    wakeFd.store(m_pipe[1]);
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::closeWindow);

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (auto [number, old] : {std::pair{SIGTERM, &m_oldTerm}, std::pair{SIGINT, &m_oldInt}}) {
        if (::sigaction(number, nullptr, old) == 0 && old->sa_handler != SIG_IGN)
            ::sigaction(number, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (m_pipe[0] < 0)
        return;
    // The old handlers first, so that no signal finds the pipe closed.
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    wakeFd.store(-1);
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void TerminationSignals::closeWindow()
{
    char drained[64];
    while (::read(m_pipe[0], drained, sizeof drained) > 0) {
    }
    if (m_window)
        m_window->close();
    // exit() rather than quit(): it also ends the loops of modal dialogs, and any
    // loop started after it returns at once, so nothing is left waiting for a
    // player who has gone.
    QCoreApplication::exit(0);
}
