#include "SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

// Each case uses a program name of its own: the lock, once taken, is kept for
// the life of this process.
class SingleInstanceTest : public QObject {
    Q_OBJECT
    static QString name(const char* what)
    {
        return QStringLiteral("suite-test-%1-%2").arg(what).arg(QCoreApplication::applicationPid());
    }

private slots:
    void firstCopyRunsAndKeepsItsLock()
    {
        const QString program = name("first");
        QVERIFY(!AnotherCopyRunning(program));
        QVERIFY(!AnotherCopyRunning(program));
        QLockFile other(singleInstanceLockPath(program));
        QVERIFY(!other.tryLock(0));
    }

    void liveHolderMeansAnotherCopy()
    {
        const QString program = name("held");
        QLockFile holder(singleInstanceLockPath(program));
        QVERIFY(holder.tryLock(0));
        QVERIFY(AnotherCopyRunning(program));
        holder.unlock();
        QVERIFY(!AnotherCopyRunning(program));
    }

    // A lock left by a process that has ended is taken over.
    void deadHolderDoesNotCount()
    {
        const QString program = name("dead");
        QProcess ended;
        ended.start(QStringLiteral("true"));
        QVERIFY(ended.waitForFinished());
        QFile lock(singleInstanceLockPath(program));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(ended.processId() ? ended.processId() : 999999) + "\ntrue\n\n");
        lock.close();
        QVERIFY(!AnotherCopyRunning(program));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
