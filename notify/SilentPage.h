#pragma once

#include <QWebEnginePage>

// A page that never puts up a dialog of its own: script alerts, confirmations and
// prompts are answered silently, as the window must not interrupt the player.
// Pages a link asks to open in a new window go to the player's own browser.
class SilentPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit SilentPage(QObject* parent = nullptr);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
};
