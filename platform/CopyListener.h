#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// The running copy's ear for later copies of the same program: a local socket
// beside the program's single-instance lock, in the folder only this user can
// reach. Each request that reads as one (CopyRequest) is acknowledged and then
// reported; anything else, too long, or too slow in coming, is dropped unanswered.
class CopyListener : public QObject {
    Q_OBJECT
public:
    explicit CopyListener(QObject* parent = nullptr);

    // Starts listening for the program, which only the holder of its lock may:
    // false when this process does not hold it, or the socket cannot be made.
    bool listen(const QString& programName);

signals:
    // A later copy asked to bring this one forward and, with a file, to open it.
    void requested(const QString& file);

private:
    void accept();
    void read(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};
