#include "CNotify.h"

#include "Attempt.h"
#include "Component.h"
#include "ComponentNames.h"
#include "CornerPlacer.h"
#include "WebHosts.h"
#include "frmInfo.h"
#include "modRegedit.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QUrl>
#include <QWebEngineView>

#include <atomic>
#include <stdexcept>

namespace {
QPointer<frmInfo>& loadedWindow()
{
    static QPointer<frmInfo> window;
    return window;
}

std::atomic<int>& instances()
{
    static std::atomic<int> count{0};
    return count;
}

QPointer<CornerPlacer>& windowPlacer()
{
    static QPointer<CornerPlacer> placer;
    return placer;
}
}

CNotify::CNotify(QObject* parent)
    : QObject(parent)
{
    ++instances();
}

CNotify::~CNotify()
{
    --instances();
}

int CNotify::Instances()
{
    return instances();
}

frmInfo* CNotify::Window()
{
    return loadedWindow();
}

QString CNotify::NotifyAddress(const QString& strName)
{
    // The name is the caller's: encoded, so that it stays one query value.
    return QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/notify/kqtidingo.htm?soft=")
           + QString::fromLatin1(QUrl::toPercentEncoding(strName));
}

void CNotify::Notify(QString strName, QString /*strOther*/)
{
    QString hide;
    attempt(lcComponent, "read hide setting", [&] {
        hide = modRegedit::RegReadString(HKEY_LOCAL_MACHINE, QString::fromLatin1(ComponentNames::SettingsKey),
                                         QStringLiteral("ComHideWindow"));
    });
    if (hide == QLatin1String("1")) {
        qCDebug(lcComponent, "the player turned the notification window off (ComHideWindow is 1)");
        return;
    }
    // The window needs the caller's widget application and its window thread, and
    // its web views need contexts the caller shares from before the application
    // existed: without them the web engine takes the whole caller down.
    const bool loaded = attempt(lcComponent, "load window", [&] {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())
            || QThread::currentThread() != QCoreApplication::instance()->thread())
            throw std::runtime_error("no window thread");
        if (!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts))
            throw std::runtime_error("no shared contexts");
        if (!loadedWindow()) {
            loadedWindow() = new frmInfo;
            loadedWindow()->setAttribute(Qt::WA_DeleteOnClose);
            // Its pages must go before the browser's profile does, which Qt
            // releases as the application ends.
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, loadedWindow(), &QObject::deleteLater);
            windowPlacer() = new CornerPlacer(loadedWindow());
        }
    });
    if (!loaded)
        return;
    frmInfo* window = loadedWindow();
    attempt(lcComponent, "load notify page",
            [&] { window->webNotify->load(QUrl(NotifyAddress(strName), QUrl::StrictMode)); });
    attempt(lcComponent, "place window", [&] {
        if (CornerPlacer* placer = windowPlacer())
            placer->place();
    });
    attempt(lcComponent, "show window", [&] { window->show(); });
}
