#include "NotifyTestSupport.h"

#include "AppPath.h"
#include "Gbk.h"
#include "CNotify.h"
#include "Com.h"
#include "ComponentNames.h"
#include "HiveLock.h"
#include "Registry.h"
#include "RegistryHive.h"
#include "RuntimeError.h"
#include "StartNotice.h"
#include "modRegedit.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {
const QString kKey = QString::fromLatin1(ComponentNames::SettingsKey);
const QString kProgId = QString::fromLatin1(ComponentNames::ProgId);
const QString kLibrary = QString::fromLatin1(ComponentNames::LibraryFile);
// The settings key as a hive file writes it, and the keys above it, root first.
const QByteArray kKeyLine = '[' + QByteArray(ComponentNames::SettingsKey) + ']';
QByteArray keysAbove()
{
    QByteArray lines;
    const QList<QByteArray> parts = QByteArray(ComponentNames::SettingsKey).split('\\');
    for (qsizetype n = 1; n < parts.size(); ++n)
        lines += '[' + parts.first(n).join('\\') + "]\n";
    return lines;
}

QByteArray dword(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

LONG storeRaw(const QString& key, const QString& name, DWORD type, const QByteArray& data)
{
    HKEY hKey = nullptr;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, QString(), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &hKey, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(hKey, name, 0, type, data);
        RegCloseKey(hKey);
    }
    return status;
}

QString binPath(const QString& name)
{
    return QCoreApplication::applicationDirPath() + u'/' + name;
}

// Runs one of the build's programs against the test's hives; its exit code.
int runProgram(const QString& name, const QStringList& args, QByteArray* output = nullptr,
               QByteArray* errors = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment());
    process.start(binPath(name), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitCode();
}

QByteArray hiveBytes(HKEY root = HKEY_LOCAL_MACHINE)
{
    return readRegularFile(registryHivePath(root), 1 << 26).value_or("missing");
}

// A hive registering the component's class with its library at path.
QByteArray registrationOf(const QString& library)
{
    const QByteArray progId(ComponentNames::ProgId);
    return "REGISTRY-HIVE 1\n[" + progId + "]\n[" + progId + "\\CLSID]\n=1:7b317d\n[CLSID]\n[CLSID\\{1}]\n"
           "[CLSID\\{1}\\InprocServer32]\n=1:" + QFile::encodeName(library).toHex() + "\n";
}
}

class tst_registry : public QObject {
    Q_OBJECT
private slots:
    void init() { clearHives(); }

    void readString_data();
    void readString();
    void missingReadsEmpty();
    void writeStringStoresAnsi();
    void readOnlyAccess();
    void unreadableHiveIsKept_data();
    void unreadableHiveIsKept();
    void oversizedWriteFails();
    void bounds_data();
    void bounds();
    void smallBufferAsksForMore();
    void processesKeepEveryValue();
    void readersNeverSeeHalfAHive();
    void liveLockIsWaitedForDeadOneIsNot();
    void lockInTheWayIsNamed();
    void startUpDoesNotWaitForAWriter();
    void componentByNameFromSecondProgram();
    void componentErrors();
    void pipeIsNoLibrary();

private:
    PrivateHome m_home;
};

void tst_registry::readString_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");
    QTest::newRow("REG_SZ in GBK") << uint(REG_SZ) << toGbk(QStringLiteral("扫雷之家")) << QStringLiteral("扫雷之家");
    QTest::newRow("REG_SZ cut at zero") << uint(REG_SZ) << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    QTest::newRow("REG_EXPAND_SZ not expanded")
        << uint(REG_EXPAND_SZ) << QByteArray("%HOME%\\x") << QStringLiteral("%HOME%\\x");
    QTest::newRow("REG_DWORD") << uint(REG_DWORD) << dword(42) << QStringLiteral("42");
    QTest::newRow("REG_DWORD with a zero low byte") << uint(REG_DWORD) << dword(0x10000) << QStringLiteral("65536");
    QTest::newRow("REG_DWORD negative") << uint(REG_DWORD) << dword(-1) << QStringLiteral("-1");
    QTest::newRow("REG_BINARY") << uint(REG_BINARY) << QByteArray("1") << QString();
    QTest::newRow("1,024 bytes fit") << uint(REG_SZ) << QByteArray(1024, 'x') << QString(1024, u'x');
    QTest::newRow("1,025 bytes do not") << uint(REG_SZ) << QByteArray(1025, 'x') << QString();
}

void tst_registry::readString()
{
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    QCOMPARE(storeRaw(kKey, QStringLiteral("KQSoftDesc"), type, data), ERROR_SUCCESS);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), expected);
    // Key and value names are found whatever their case, as the registry's are.
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, QStringLiteral("software\\kq\\rovevore"),
                                       QStringLiteral("kqsoftdesc")),
             expected);
}

void tst_registry::missingReadsEmpty()
{
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QString());
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Other"), QStringLiteral("1")));
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QString());
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey + QStringLiteral("\\Sub"), QStringLiteral("Other")),
             QString());
    // Nothing is remembered between calls: a hive removed is gone at once.
    clearHives();
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Other")), QString());
}

void tst_registry::writeStringStoresAnsi()
{
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"),
                                       QStringLiteral("扫雷")));
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Empty"), QString()));
    HKEY hKey = nullptr;
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("KQSoftDesc"), QByteArray("\xc9\xa8\xc0\xd7")},
                                      std::pair{QStringLiteral("Empty"), QByteArray(" ")}}) {
        DWORD type = 0;
        DWORD size = 1024;
        QByteArray data;
        QCOMPARE(RegQueryValueExA(hKey, name, nullptr, &type, &data, &size), ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(data, bytes);
        QCOMPARE(size, DWORD(bytes.size()));
    }
    RegCloseKey(hKey);
}

void tst_registry::readOnlyAccess()
{
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"), QStringLiteral("a")));
    const QByteArray before = *readRegularFile(registryHivePath(HKEY_LOCAL_MACHINE), 1 << 20);

    // A key opened for reading refuses to store.
    HKEY hKey = nullptr;
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    QCOMPARE(RegSetValueExA(hKey, QStringLiteral("KQSoftDesc"), 0, REG_SZ, "b"), ERROR_ACCESS_DENIED);
    RegCloseKey(hKey);
    QCOMPARE(*readRegularFile(registryHivePath(HKEY_LOCAL_MACHINE), 1 << 20), before);

    // A key the player may read but not change still gives its values.
    QVERIFY(writeHive(HKEY_LOCAL_MACHINE,
                      "REGISTRY-HIVE 1\n" + keysAbove() + kKeyLine + " read-only\nKQSoftDesc=1:616263\n"));
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &hKey), ERROR_ACCESS_DENIED);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QStringLiteral("abc"));
    QVERIFY(!modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QString());
}

void tst_registry::unreadableHiveIsKept_data()
{
    QTest::addColumn<QByteArray>("hive");
    QTest::addColumn<int>("growTo");
    QTest::addColumn<LONG>("writeStatus");
    // Nothing in it to lose: the next write gives a sound hive.
    QTest::newRow("empty file") << QByteArray() << 0 << ERROR_SUCCESS;
    QTest::newRow("not a hive") << kKeyLine + "\nKQSoftDesc=1:616263\n" << 0 << ERROR_BADDB;
    QTest::newRow("binary") << QByteArray("\x00\xff\x13REGISTRY", 11) << 0 << ERROR_BADDB;
    const QByteArray keys = "REGISTRY-HIVE 1\n[]\n" + keysAbove();
    QTest::newRow("bad hex") << keys + kKeyLine + "\nKQSoftDesc=1:61626\n" << 0 << ERROR_BADDB;
    QTest::newRow("bad type") << keys + kKeyLine + "\nKQSoftDesc=99999999999:61\n" << 0 << ERROR_BADDB;
    QTest::newRow("key line cut") << keys + kKeyLine.chopped(1) + "\nKQSoftDesc=1:61\n" << 0 << ERROR_BADDB;
    QTest::newRow("raw name") << keys + kKeyLine + "\nKQ Soft=1:61\n" << 0 << ERROR_BADDB;
    QTest::newRow("key above missing") << "REGISTRY-HIVE 1\n" + kKeyLine + "\nKQSoftDesc=1:61\n"
                                       << 0 << ERROR_BADDB;
    QTest::newRow("beyond the reader's limit") << keys << (17 << 20) << ERROR_BADDB;
}

void tst_registry::unreadableHiveIsKept()
{
    QFETCH(QByteArray, hive);
    QFETCH(int, growTo);
    QFETCH(LONG, writeStatus);
    const QString path = registryHivePath(HKEY_LOCAL_MACHINE);
    QVERIFY(writeHive(HKEY_LOCAL_MACHINE, hive));
    QVERIFY(growTo == 0 || ::truncate(QFile::encodeName(path).constData(), growTo) == 0);
    const QByteArray before = hiveBytes();
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QString());
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQ Soft")), QString());
    // What could not be read is never replaced: it stays for its owner to look at.
    QCOMPARE(storeRaw(kKey, QStringLiteral("ComHideWindow"), REG_SZ, "1"), writeStatus);
    if (writeStatus == ERROR_SUCCESS) {
        QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QStringLiteral("1"));
        return;
    }
    QCOMPARE(hiveBytes(), before);
    QVERIFY(registryLastFailure().contains(path));
}

void tst_registry::oversizedWriteFails()
{
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"), QStringLiteral("a")));
    const QByteArray before = hiveBytes();
    // Stored, the value would make a hive the reader refuses, and every key would
    // read as gone.
    QCOMPARE(storeRaw(kKey, QStringLiteral("Big"), REG_BINARY, QByteArray(9 << 20, 'x')), ERROR_FILE_TOO_LARGE);
    QCOMPARE(hiveBytes(), before);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QStringLiteral("a"));
}

void tst_registry::bounds_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<LONG>("status");
    const auto deep = [](int depth) { return QStringList(depth, QStringLiteral("k")).join(u'\\'); };
    QTest::newRow("512 keys deep") << deep(512) << QString() << ERROR_SUCCESS;
    QTest::newRow("513 keys deep") << deep(513) << QString() << ERROR_INVALID_PARAMETER;
    QTest::newRow("key name of 255") << QString(255, u'k') << QString() << ERROR_SUCCESS;
    QTest::newRow("key name of 256") << kKey + u'\\' + QString(256, u'k') << QString() << ERROR_INVALID_PARAMETER;
    QTest::newRow("value name of 16,383") << kKey << QString(16383, u'v') << ERROR_SUCCESS;
    QTest::newRow("value name of 16,384") << kKey << QString(16384, u'v') << ERROR_INVALID_PARAMETER;
}

void tst_registry::bounds()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(LONG, status);
    QCOMPARE(storeRaw(key, value, REG_SZ, "1"), status);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, key, value),
             status == ERROR_SUCCESS ? QStringLiteral("1") : QString());

    // A key line far deeper than that, with nothing above it, is left out without
    // a key made up for each level above it, which took time growing with the
    // square of the depth.
    bool complete = true;
    const RegistryHive hive
        = RegistryHive::parse("REGISTRY-HIVE 1\n[" + QStringList(20000, QStringLiteral("k")).join(u'\\').toLatin1() + "]\n",
                              &complete);
    QVERIFY(hive.keys().isEmpty());
    QVERIFY(!complete);
}

void tst_registry::smallBufferAsksForMore()
{
    QCOMPARE(storeRaw(kKey, QStringLiteral("V"), REG_SZ, "abcdef"), ERROR_SUCCESS);
    HKEY hKey = nullptr;
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &hKey), ERROR_SUCCESS);
    QByteArray data("untouched");
    DWORD size = 3;
    QCOMPARE(RegQueryValueExA(hKey, QStringLiteral("V"), nullptr, nullptr, &data, &size), ERROR_MORE_DATA);
    QCOMPARE(size, DWORD(6));
    QCOMPARE(data, QByteArray("untouched"));
    QCOMPARE(RegCloseKey(hKey), ERROR_SUCCESS);
    QCOMPARE(RegCloseKey(hKey), ERROR_INVALID_HANDLE);
}

void tst_registry::processesKeepEveryValue()
{
    // Writers that each write in a loop: none may lose its turn until it gives up.
    constexpr int kEach = 60;
    const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const QString& name : names) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->setProcessEnvironment(childEnvironment());
        writers.back()->start(binPath(QStringLiteral("tidingo_host")),
                              {QStringLiteral("write"), name, QString::number(kEach)});
    }
    for (const auto& writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitCode(), 0);
    }
    for (int i = 0; i < kEach; ++i) {
        for (const QString& name : names)
            QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, name + QString::number(i)),
                     QString::number(i));
    }
}

void tst_registry::readersNeverSeeHalfAHive()
{
    // A hive with another name (a backup made with a hard link) was rewritten
    // where it stood, and a reader could catch it half written. The first value
    // changes size every round, so that every line after it moves.
    constexpr int kRounds = 150;
    constexpr int kAnchors = 300;
    RegistryHive start;
    for (int i = 0; i < kAnchors; ++i)
        start.setValue(kKey, QStringLiteral("Anchor%1").arg(i), REG_SZ, QByteArray(40, 'x'));
    QVERIFY(writeHive(HKEY_LOCAL_MACHINE, start.serialize()));
    const QString path = registryHivePath(HKEY_LOCAL_MACHINE);
    std::atomic<bool> done = false;
    std::atomic<int> failures = 0;
    std::thread writer([&] {
        for (int round = 0; round < kRounds; ++round) {
            const QString backup = path + QStringLiteral(".backup%1").arg(round);
            if (::link(QFile::encodeName(path).constData(), QFile::encodeName(backup).constData()) != 0
                || storeRaw(kKey, QStringLiteral("Anchor"), REG_SZ, QByteArray(round % 2 ? 1 : 3000, 'y'))
                       != ERROR_SUCCESS)
                ++failures;
        }
        done = true;
    });
    int reads = 0;
    while (!done) {
        bool complete = false;
        const RegistryHive seen = RegistryHive::parse(hiveBytes(), &complete);
        const RegistryHive::Key* key = seen.key(kKey);
        if (!complete || !key || key->values.size() < kAnchors)
            ++failures;
        ++reads;
    }
    writer.join();
    QCOMPARE(failures.load(), 0);
    QVERIFY(reads > 0);
    // The other name keeps what the hive held when it was made.
    QCOMPARE(RegistryHive::parse(*readRegularFile(path + QStringLiteral(".backup0"), 1 << 20)), start);
}

void tst_registry::liveLockIsWaitedForDeadOneIsNot()
{
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"), QStringLiteral("a")));
    QProcess holder;
    holder.setProcessEnvironment(childEnvironment());
    holder.start(binPath(QStringLiteral("tidingo_host")), {QStringLiteral("hold")});
    QVERIFY(holder.waitForReadyRead(60000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("held"));
    // However old the lock looks, its holder lives: it is waited for, not taken.
    const QByteArray lockFile = QFile::encodeName(HiveLock(registryHivePath(HKEY_LOCAL_MACHINE)).path());
    const utimbuf longAgo{1, 1};
    QCOMPARE(::utime(lockFile.constData(), &longAgo), 0);
    {
        const RegistryWaitLimit limit(std::chrono::milliseconds(300));
        QCOMPARE(storeRaw(kKey, QStringLiteral("KQSoftDesc"), REG_SZ, "b"), ERROR_TIMEOUT);
        QVERIFY(registryLastFailure().contains(QFile::decodeName(lockFile)));
    }
    holder.kill();
    QVERIFY(holder.waitForFinished(60000));
    // The holder is dead; its lock file stays, and does not hold anyone up.
    QCOMPARE(storeRaw(kKey, QStringLiteral("KQSoftDesc"), REG_SZ, "c"), ERROR_SUCCESS);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QStringLiteral("c"));
}

void tst_registry::lockInTheWayIsNamed()
{
    // Waiting would not help: the write fails at once, and says what is in the way.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT})
        QVERIFY(QDir().mkpath(HiveLock(registryHivePath(root)).path()));
    QCOMPARE(storeRaw(kKey, QStringLiteral("KQSoftDesc"), REG_SZ, "a"), ERROR_CANTWRITE);
    QVERIFY2(registryLastFailure().endsWith(QStringLiteral(" is a folder")), qPrintable(registryLastFailure()));
    // The component's own writes, in its own copy of the registry code, tell regsvr.
    QByteArray errors;
    QCOMPARE(runProgram(QStringLiteral("regsvr"), {binPath(kLibrary)}, nullptr, &errors), 1);
    QVERIFY2(errors.contains(QFile::encodeName(HiveLock(registryHivePath(HKEY_CLASSES_ROOT)).path()) + " is a folder"),
             errors.constData());
}

void tst_registry::startUpDoesNotWaitForAWriter()
{
    // Another program writes for a second. Waiting for it would hold the game's
    // window that long, so the first start's registration of the component gives
    // up instead, and the next start tries again.
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QVERIFY(writeHive(HKEY_CLASSES_ROOT, "REGISTRY-HIVE 1\n"));
    std::optional<HiveLock> writer(std::in_place, registryHivePath(HKEY_CLASSES_ROOT));
    QCOMPARE(writer->lock(std::chrono::steady_clock::now()), HiveLock::Result::Locked);
    std::thread finish([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        writer.reset();
    });
    setAppPath(QCoreApplication::applicationDirPath());
    NotifyStartComponent();
    setAppPath(QString());
    finish.join();
    QCOMPARE(errorOf([] { CreateObject(kProgId); }), RuntimeErrorNumber::CannotCreateObject);
}

void tst_registry::componentByNameFromSecondProgram()
{
    const QString library = binPath(kLibrary);
    QByteArray output;
    QCOMPARE(runProgram(QStringLiteral("tidingo_host"), {QStringLiteral("notify")}, &output), 2);
    QCOMPARE(output.trimmed(), QByteArray("error 429"));

    QCOMPARE(runProgram(QStringLiteral("regsvr"), {library}), 0);
    QCOMPARE(runProgram(QStringLiteral("tidingo_host"), {QStringLiteral("notify")}, &output), 0);
    QCOMPARE(QString::fromUtf8(output).trimmed(), QStringLiteral("Dorvik社区 - 通知链接"));

    QCOMPARE(runProgram(QStringLiteral("regsvr"), {QStringLiteral("-u"), library}), 0);
    QCOMPARE(runProgram(QStringLiteral("tidingo_host"), {QStringLiteral("notify")}, &output), 2);
    QCOMPARE(output.trimmed(), QByteArray("error 429"));
}

void tst_registry::componentErrors()
{
    QCOMPARE(errorOf([] { CreateObject(kProgId); }), RuntimeErrorNumber::CannotCreateObject);
    // Registered, but the library is not where the registry says.
    QVERIFY(writeHive(HKEY_CLASSES_ROOT, registrationOf(QStringLiteral("/none.so"))));
    QCOMPARE(errorOf([] { CreateObject(kProgId); }), RuntimeErrorNumber::CannotCreateObject);

    CNotify notify;
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notfy", {QStringLiteral("gridwarden")}); }), RuntimeErrorNumber::NotSupported);
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notify", {1, 2, 3}); }), RuntimeErrorNumber::NotSupported);
    // Turned off: the call goes through and shows nothing.
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notify", {QStringLiteral("gridwarden")}); }), 0);
    QVERIFY(!CNotify::Window());
}

void tst_registry::pipeIsNoLibrary()
{
    // The loader would wait on a pipe for good, and every start with it.
    QTemporaryDir folder;
    const QString pipe = folder.filePath(kLibrary);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(writeHive(HKEY_CLASSES_ROOT, registrationOf(pipe)));
    QCOMPARE(errorOf([] { CreateObject(kProgId); }), RuntimeErrorNumber::CannotCreateObject);
    QByteArray errors;
    QCOMPARE(runProgram(QStringLiteral("regsvr"), {pipe}, nullptr, &errors), 1);
    QVERIFY2(errors.contains("is not a regular file"), errors.constData());
}

QTEST_GUILESS_MAIN(tst_registry)
#include "tst_registry.moc"
