#include "CNotify.h"

#include "Attempt.h"
#include "Component.h"
#include "WebHosts.h"
#include "frmInfo.h"
#include "modRegedit.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QUrl>
#include <QWebEngineView>

#include <atomic>
#include <stdexcept>

namespace {
// The window's distance from the screen's right and bottom edges, in pixels: the
// bottom one keeps it clear of a task bar.
constexpr int kRightGap = 1;
constexpr int kBottomGap = 30;

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

void placeInCorner(frmInfo* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        throw std::runtime_error("no screen");
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.x() + area.width() - outer.width() - kRightGap,
                 area.y() + area.height() - outer.height() - kBottomGap);
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
    attempt([&] {
        hide = modRegedit::RegReadString(HKEY_LOCAL_MACHINE, QString::fromLatin1(Component::SettingsKey),
                                         QStringLiteral("ComHideWindow"));
    });
    if (hide == QLatin1String("1"))
        return;
    // The window needs the caller's widget application and its window thread, and
    // its web views need contexts the caller shares from before the application
    // existed: without them the web engine takes the whole caller down.
    const bool loaded = attempt([&] {
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
        }
    });
    if (!loaded)
        return;
    frmInfo* window = loadedWindow();
    attempt([&] { window->webNotify->load(QUrl(NotifyAddress(strName), QUrl::StrictMode)); });
    attempt([&] { placeInCorner(window); });
    attempt([&] {
        window->show();
        // The frame is known only once shown; the corner is measured with it.
        placeInCorner(window);
    });
}
