#include "SingleInstance.h"

#include "CopyListener.h"
#include "CopyRequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Each case uses a program name of its own: the lock, once taken, is kept for
// the life of this process. Other copies are real processes: flock(1) holding
// or probing the same file, as another copy of a game would.
class SingleInstanceTest : public QObject {
    Q_OBJECT
    static QString name(const char* what)
    {
        return QStringLiteral("suite-test-%1-%2").arg(what).arg(QCoreApplication::applicationPid());
    }

    // Whether another process could take the lock right now.
    static bool freeForOthers(const QString& path)
    {
        return QProcess::execute(QStringLiteral("flock"), {QStringLiteral("-n"), path, QStringLiteral("true")}) == 0;
    }

    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void firstCopyRunsAndKeepsItsLock()
    {
        const QString program = name("first");
        QVERIFY(!AnotherCopyRunning(program));
        QVERIFY(!AnotherCopyRunning(program));
        QVERIFY(!freeForOthers(singleInstanceLockPath(program)));
    }

    void liveHolderMeansAnotherCopy()
    {
        const QString program = name("held");
        const QString path = singleInstanceLockPath(program);
        // The shell takes the lock and becomes the sleeper, so killing it lets go.
        QProcess holder;
        holder.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exec 9>\"$0\"; flock 9; exec sleep 60"), path});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY(!freeForOthers(path));
        QVERIFY(AnotherCopyRunning(program));
        // Nor may this process take the holder's socket from it.
        const QString socket = singleInstanceSocketPath(program);
        QVERIFY(QFile(socket).open(QIODevice::WriteOnly));
        QVERIFY(!CopyListener().listen(program));
        QVERIFY(QFileInfo(socket).isFile());
        holder.kill();
        holder.waitForFinished();
        QVERIFY(!AnotherCopyRunning(program));
        QVERIFY(!freeForOthers(path));
    }

    // Whatever a dead copy, a crash or a careless hand left where the lock
    // belongs, the game starts and holds the lock from then on.
    void leftoversNeverStopAStart_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("a dead copy's record") << "dead";
        QTest::newRow("another machine's record") << "host";
        QTest::newRow("a file nobody may read") << "unreadable";
        QTest::newRow("an empty folder") << "folder";
        QTest::newRow("a link to elsewhere") << "link";
        QTest::newRow("a pipe") << "pipe";
    }
    void leftoversNeverStopAStart()
    {
        QFETCH(QString, leftover);
        const QString program = name(qPrintable(leftover));
        const QString path = singleInstanceLockPath(program);
        QTemporaryDir elsewhere;
        const auto write = [&](const QByteArray& bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        if (leftover == "garbage")
            write(QByteArray("\x01\xff not a lock\n", 14));
        else if (leftover == "empty")
            write({});
        else if (leftover == "dead")
            write("999999\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        else if (leftover == "host")
            write("1\nsome-other-machine\n");
        else if (leftover == "unreadable") {
            write("1\n");
            QVERIFY(QFile::setPermissions(path, {}));
        } else if (leftover == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (leftover == "link")
            QVERIFY(QFile::link(elsewhere.filePath("target"), path));
        else if (leftover == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        QVERIFY(!AnotherCopyRunning(program));
        QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
        QVERIFY(!freeForOthers(path));
        // A link is not followed: nothing appears where it pointed.
        QVERIFY(!QFileInfo::exists(elsewhere.filePath("target")));
    }

    // Anyone's bytes may reach the running copy's socket: only a whole request
    // line is answered and reported; junk, a name that is not whole, and a line
    // longer than any request are dropped unanswered.
    void listenerAnswersOnlyRequests_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("requested");
        const QString odd = QStringLiteral("/tmp/a b\n%20c 雷.fld");
        QTest::newRow("come forward") << QByteArray("activate\n") << QStringList{QString()};
        QTest::newRow("open a file") << CopyRequest::encode(odd) << QStringList{odd};
        QTest::newRow("a relative name") << QByteArray("open board.fld\n") << QStringList{};
        QTest::newRow("a null byte") << QByteArray("open /a%00b\n") << QStringList{};
        QTest::newRow("no request") << QByteArray("\x01open /a\n") << QStringList{};
        QTest::newRow("endless") << QByteArray(CopyRequest::MaxLineBytes * 2, 'a') << QStringList{};
        QTest::newRow("too long") << "open /" + QByteArray(CopyRequest::MaxLineBytes, 'a') + "\n"
                                  << QStringList{};
    }
    void listenerAnswersOnlyRequests()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, requested);
        const QString program = name("listener");
        QVERIFY(!AnotherCopyRunning(program));
        CopyListener listener;
        QVERIFY(listener.listen(program));
        QSignalSpy spy(&listener, &CopyListener::requested);
        QLocalSocket socket;
        socket.connectToServer(singleInstanceSocketPath(program));
        QVERIFY(socket.waitForConnected());
        socket.write(bytes);
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(socket.readAll(), requested.isEmpty() ? QByteArray() : CopyRequest::acknowledgement());
        QStringList got;
        for (const QList<QVariant>& call : spy)
            got << call.at(0).toString();
        QCOMPARE(got, requested);
    }

    // The lock never lies where another user can write: one who made the shared
    // runtime folder, or the temporary folder's fallback, first would otherwise
    // hold the player's game back for good.
    void anotherUserCannotPlantTheLock()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as another user");
        QTemporaryDir shared;
        const QString runtime = shared.filePath("runtime");
        QVERIFY(QDir().mkdir(runtime));
        const QString fallback = shared.filePath("runtime-root");
        QVERIFY(QDir().mkdir(fallback));
        constexpr uid_t Nobody = 65534;
        for (const QString& folder : {runtime, fallback}) {
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), Nobody, Nobody), 0);
        }
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray oldTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("TMPDIR", QFile::encodeName(shared.path()));
        const QString path = singleInstanceLockPath(name("planted"));
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("TMPDIR", oldTemp);

        QVERIFY(!path.isEmpty());
        QVERIFY(!path.startsWith(shared.path()));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &st), 0);
        QCOMPARE(st.st_uid, ::geteuid());
        QCOMPARE(st.st_mode & 077, 0u);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
