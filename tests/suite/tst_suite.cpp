// The start-up step passes every failure over in silence; a developer who asks
// through the logging rules learns which step failed and why, and a player who
// does not ask sees nothing.

#include "StartNotice.h"

#include "AppPath.h"
#include "Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
struct Logged {
    QString category;
    QString message;
};

QList<Logged>& logged()
{
    static QList<Logged> messages;
    return messages;
}

void capture(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    const QString category = QString::fromLatin1(context.category ? context.category : "");
    if (category.startsWith(QLatin1String("suite.")))
        logged().append({category, message});
}
}

class tst_Suite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void startUpTellsWhyNoComponent_data();
    void startUpTellsWhyNoComponent();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_noComponent;
};

void tst_Suite::initTestCase()
{
    // A registry of this test's own, empty, and a program folder without the
    // component, so that nothing can be registered either.
    qputenv("HOME", QFile::encodeName(m_home.path()));
    QStandardPaths::setTestModeEnabled(true);
    QDir(QFileInfo(registryHivePath(HKEY_CLASSES_ROOT)).absolutePath()).removeRecursively();
    setAppPath(m_noComponent.path());
}

void tst_Suite::cleanup()
{
    QLoggingCategory::setFilterRules(QString());
    logged().clear();
}

void tst_Suite::startUpTellsWhyNoComponent_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QStringList>("expected");   // "category|part of a message"; none at all when empty
    QTest::newRow("asked for") << QStringLiteral("suite.startup.debug=true\nsuite.component.debug=true")
                               << QStringList{QStringLiteral("suite.startup|create component: skipped, error 429"),
                                              QStringLiteral("suite.component|is not registered")};
    QTest::newRow("not asked for") << QString() << QStringList{};
}

void tst_Suite::startUpTellsWhyNoComponent()
{
    QFETCH(QString, rules);
    QFETCH(QStringList, expected);
    QLoggingCategory::setFilterRules(rules);
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    NotifyStartComponent();
    qInstallMessageHandler(previous);

    QStringList seen;
    for (const Logged& entry : logged())
        seen << entry.category + u'|' + entry.message;
    if (expected.isEmpty())
        QVERIFY2(seen.isEmpty(), qPrintable(seen.join(u'\n')));
    for (const QString& want : expected) {
        const QString category = want.section(u'|', 0, 0);
        const QString part = want.section(u'|', 1);
        const bool found = std::any_of(logged().cbegin(), logged().cend(), [&](const Logged& entry) {
            return entry.category == category && entry.message.contains(part);
        });
        QVERIFY2(found, qPrintable(want + QStringLiteral(" not among:\n") + seen.join(u'\n')));
    }
}

QTEST_GUILESS_MAIN(tst_Suite)
#include "tst_suite.moc"
