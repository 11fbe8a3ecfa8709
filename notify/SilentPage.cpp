#include "SilentPage.h"

#include "Shell.h"

namespace {
// Stands in for the new window just long enough to learn its address, which then
// opens in the player's browser.
class HandOverPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        ShellExecute(nullptr, QStringLiteral("open"), url.toString(QUrl::FullyEncoded), QString(), QString(),
                     SW_SHOWNORMAL);
        deleteLater();
        return false;
    }
};
}

SilentPage::SilentPage(QObject* parent)
    : QWebEnginePage(parent)
{
}

void SilentPage::javaScriptAlert(const QUrl&, const QString&) {}

bool SilentPage::javaScriptConfirm(const QUrl&, const QString&)
{
    return false;
}

bool SilentPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*)
{
    return false;
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) {}

QWebEnginePage* SilentPage::createWindow(WebWindowType)
{
    return new HandOverPage(profile(), this);
}
