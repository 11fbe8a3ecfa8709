#include "CopyListener.h"

#include "CopyRequest.h"
#include "SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace {
// A later copy writes its one line as soon as it is connected; one that says
// nothing for this long is not a copy of ours and is cut off.
constexpr int ConnectionLimitMs = 2000;
}

CopyListener::CopyListener(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &CopyListener::accept);
}

bool CopyListener::listen(const QString& programName)
{
    if (m_server->isListening() || !holdsSingleInstanceLock(programName))
        return false;
    const QString path = singleInstanceSocketPath(programName);
    if (path.isEmpty())
        return false;
    // Whatever lies in the socket's place was left by a copy that has died: this
    // one holds the lock, so no live copy can be listening there.
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) != 0)
        ::rmdir(name.constData());
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(path);
}

void CopyListener::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The buffer holds one request line at most; a fuller one is no request.
        socket->setReadBufferSize(CopyRequest::MaxLineBytes + 1);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(ConnectionLimitMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        read(socket);
    }
}

void CopyListener::read(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > CopyRequest::MaxLineBytes) {
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    QByteArray line = socket->readLine(CopyRequest::MaxLineBytes + 1);
    // One request per connection: whatever follows it is not read.
    socket->disconnect(this);
    std::optional<QString> file;
    if (line.endsWith('\n')) {
        line.chop(1);
        file = CopyRequest::decode(line);
    }
    if (!file) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // Answered first, so that the later copy can end while this one still works.
    socket->write(CopyRequest::acknowledgement());
    socket->disconnectFromServer();
    emit requested(*file);
}
