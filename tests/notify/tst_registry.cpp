#include "NotifyTestSupport.h"

#include "Gbk.h"
#include "CNotify.h"
#include "Com.h"
#include "Registry.h"
#include "RuntimeError.h"
#include "modRegedit.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QtEndian>

namespace {
const QString kKey = QStringLiteral("Software\\KQ\\ROVevore");

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
int runProgram(const QString& name, const QStringList& args, QByteArray* output = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment());
    process.start(binPath(name), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitCode();
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
    void damagedHiveReadsAsMissing_data();
    void damagedHiveReadsAsMissing();
    void smallBufferAsksForMore();
    void twoProcessesKeepBothValues();
    void componentByNameFromSecondProgram();
    void componentErrors();

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
    QVERIFY(writeHive(HKEY_LOCAL_MACHINE, "REGISTRY-HIVE 1\n[Software\\KQ\\ROVevore] read-only\nKQSoftDesc=1:616263\n"));
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &hKey), ERROR_ACCESS_DENIED);
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QStringLiteral("abc"));
    QVERIFY(!modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QString());
}

void tst_registry::damagedHiveReadsAsMissing_data()
{
    QTest::addColumn<QByteArray>("hive");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not a hive") << QByteArray("[Software\\KQ\\ROVevore]\nKQSoftDesc=1:616263\n");
    QTest::newRow("binary") << QByteArray("\x00\xff\x13REGISTRY", 11);
    QTest::newRow("bad hex") << QByteArray("REGISTRY-HIVE 1\n[Software\\KQ\\ROVevore]\nKQSoftDesc=1:61626\n");
    QTest::newRow("bad type") << QByteArray("REGISTRY-HIVE 1\n[Software\\KQ\\ROVevore]\nKQSoftDesc=99999999999:61\n");
    QTest::newRow("key line cut") << QByteArray("REGISTRY-HIVE 1\n[Software\\KQ\\ROVevore\nKQSoftDesc=1:61\n");
    QTest::newRow("raw name") << QByteArray("REGISTRY-HIVE 1\n[Software\\KQ\\ROVevore]\nKQ Soft=1:61\n");
}

void tst_registry::damagedHiveReadsAsMissing()
{
    QFETCH(QByteArray, hive);
    QVERIFY(writeHive(HKEY_LOCAL_MACHINE, hive));
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc")), QString());
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQ Soft")), QString());
    // The hive stays usable: the next write gives a sound one.
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow")), QStringLiteral("1"));
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

void tst_registry::twoProcessesKeepBothValues()
{
    constexpr int kEach = 30;
    QProcess first;
    QProcess second;
    for (const auto& [process, name] : {std::pair{&first, "first"}, std::pair{&second, "second"}}) {
        process->setProcessEnvironment(childEnvironment());
        process->start(binPath(QStringLiteral("tidingo_host")),
                       {QStringLiteral("write"), QString::fromLatin1(name), QString::number(kEach)});
    }
    QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);
    for (int i = 0; i < kEach; ++i) {
        for (const QString& name : {QStringLiteral("first"), QStringLiteral("second")})
            QCOMPARE(modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, name + QString::number(i)),
                     QString::number(i));
    }
}

void tst_registry::componentByNameFromSecondProgram()
{
    const QString library = binPath(QStringLiteral("libtidingo.so"));
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
    QCOMPARE(errorOf([] { CreateObject(QStringLiteral("Tidingo.CNotify")); }), RuntimeErrorNumber::CannotCreateObject);
    // Registered, but the library is not where the registry says.
    QCOMPARE(writeHive(HKEY_CLASSES_ROOT, "REGISTRY-HIVE 1\n[Tidingo.CNotify\\CLSID]\n=1:7b317d\n"
                                          "[CLSID\\{1}\\InprocServer32]\n=1:2f6e6f6e652e736f\n"),
             true);
    QCOMPARE(errorOf([] { CreateObject(QStringLiteral("Tidingo.CNotify")); }), RuntimeErrorNumber::CannotCreateObject);

    CNotify notify;
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notfy", {QStringLiteral("gridwarden")}); }), RuntimeErrorNumber::NotSupported);
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notify", {1, 2, 3}); }), RuntimeErrorNumber::NotSupported);
    // Turned off: the call goes through and shows nothing.
    QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), QStringLiteral("1")));
    QCOMPARE(errorOf([&] { CallByName(&notify, "Notify", {QStringLiteral("gridwarden")}); }), 0);
    QVERIFY(!CNotify::Window());
}

QTEST_GUILESS_MAIN(tst_registry)
#include "tst_registry.moc"
