#include "LaterCopies.h"

#include "CopyListener.h"
#include "CopyRequest.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {
// The longest a later copy waits, from its first try to connect to the answer:
// it has nothing else to do, but the player must not see a hung start either.
constexpr int HandOverLimitMs = 2000;
// Between tries while the running copy holds its lock but does not listen yet.
constexpr unsigned long RetryMs = 50;
constexpr qint64 AnswerBytes = 64;

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(deadline.remainingTime());
}
}

namespace LaterCopies {

bool handOver(const QString& programName, const QString& file)
{
    const QString path = singleInstanceSocketPath(programName);
    if (path.isEmpty())
        return false;
    const QByteArray request = CopyRequest::encode(file);
    const QDeadlineTimer deadline(HandOverLimitMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(remainingMs(deadline))) {
            // Connected: the running copy has the request, and a slow answer is
            // waited for, not asked again.
            socket.write(request);
            while (!socket.canReadLine() && socket.waitForReadyRead(remainingMs(deadline))) {
            }
            return socket.canReadLine() && socket.readLine(AnswerBytes) == CopyRequest::acknowledgement();
        }
        // No socket yet, or one a dead copy left behind that the running copy
        // has yet to replace.
        QThread::msleep(std::min<unsigned long>(RetryMs, static_cast<unsigned long>(remainingMs(deadline))));
    }
    return false;
}

bool answer(QWidget* window, const QString& programName, std::function<void(const QString&)> openFile)
{
    auto* listener = new CopyListener(window);
    if (!listener->listen(programName)) {
        delete listener;
        return false;
    }
    QObject::connect(listener, &CopyListener::requested, window,
                     [window, openFile = std::move(openFile)](const QString& file) {
                         // Whatever the dialog decides would clash with a board
                         // changed under it; the player finishes it first.
                         if (!file.isEmpty() && openFile && !QApplication::activeModalWidget())
                             openFile(file);
                         bringForward(window);
                     });
    return true;
}

QWidget* bringForward(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    QWidget* front = QApplication::activeModalWidget();
    if (!front)
        front = window;
    front->raise();
    front->activateWindow();
    return front;
}

}
