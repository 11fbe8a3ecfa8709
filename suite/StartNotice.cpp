#include "StartNotice.h"

#include "ComponentNames.h"

#include "AppPath.h"
#include "Attempt.h"
#include "Com.h"
#include "Registry.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLoggingCategory>
#include <QTimer>
#include <QVariantList>

#include <chrono>
#include <memory>

namespace {
// Why no notification window came up, for a developer who asks with
// QT_LOGGING_RULES="suite.startup.debug=true" (the README has the whole rule).
Q_LOGGING_CATEGORY(lcStartUp, "suite.startup", QtInfoMsg)

// Both games introduce themselves to the component by the same name.
constexpr char IntroducedAs[] = "gridwarden";
// The longest the game's window may wait on another program's registry write:
// reads never wait, and a registration that cannot have the hive at once is
// simply tried again at the next start.
constexpr std::chrono::milliseconds StartUpLockWait{50};

std::unique_ptr<QObject> createComponent()
{
    std::unique_ptr<QObject> component;
    const QString progId = QString::fromLatin1(ComponentNames::ProgId);
    if (attempt(lcStartUp, "create component", [&] { component = CreateObject(progId); }))
        return component;
    // An installed copy has the component beside the games; the first start of
    // each player enters it in that player's registry, as installing it for
    // everyone cannot.
    const QString library = QDir(AppPath()).filePath(QString::fromLatin1(ComponentNames::LibraryFile));
    QString problem;
    const auto registerServer
        = reinterpret_cast<DllRegisterServerFn>(resolveComponentEntry(library, "DllRegisterServer", &problem));
    if (!registerServer) {
        qCDebug(lcStartUp, "register component: skipped, nothing to register: %s", qUtf8Printable(problem));
        return nullptr;
    }
    if (const HRESULT result = registerServer(); result != S_OK) {
        qCDebug(lcStartUp, "register component: %s refused (0x%08x): %s", qUtf8Printable(library),
                static_cast<unsigned>(result), qUtf8Printable(registryLastFailure()));
        return nullptr;
    }
    attempt(lcStartUp, "create registered component", [&] { component = CreateObject(progId); });
    return component;
}

// Starting the component brings up a whole web engine, which takes longer than
// the game needs for its first frame. So the game's window is painted first and
// the component called right after; should nothing paint (a window never shown),
// it is called a little later all the same.
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(QObject* parent) : QObject(parent)
    {
        QCoreApplication::instance()->installEventFilter(this);
        QTimer::singleShot(LatestMs, this, &AfterFirstPaint::fire);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        // A moment later, so that the frame under way is flushed and shown first.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(FrameShownMs, this, &AfterFirstPaint::fire);
        return false;
    }

private:
    static constexpr int FrameShownMs = 20;
    static constexpr int LatestMs = 2000;

    void fire()
    {
        if (m_fired)
            return;
        m_fired = true;
        QCoreApplication::instance()->removeEventFilter(this);
        NotifyStartComponent();
        deleteLater();
    }

    bool m_fired = false;
};
}

void NotifyStartComponent()
{
    std::unique_ptr<QObject> component;
    {
        const RegistryWaitLimit limit(StartUpLockWait);
        component = createComponent();
    }
    if (!component)
        return;
    // The second text is unused.
    attempt(lcStartUp, "notify component", [&] {
        CallByName(component.get(), "Notify",
                   {QString::fromLatin1(IntroducedAs), QStringLiteral("Other information,Not used.")});
    });
}

bool NotifyStartAsOnlyCopy(const QString& programName)
{
    if (AnotherCopyRunning(programName)) {
        qCDebug(lcStartUp, "another copy of %s runs: this one ends without a notification", qUtf8Printable(programName));
        return false;
    }
    if (QCoreApplication::instance())
        new AfterFirstPaint(QCoreApplication::instance());
    else
        NotifyStartComponent();
    return true;
}
