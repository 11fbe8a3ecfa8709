#include "InputBox.h"

#include <QApplication>
#include <QInputDialog>

namespace {
std::function<QString(const QString&, const QString&, const QString&)>& answerHook()
{
    static std::function<QString(const QString&, const QString&, const QString&)> hook;
    return hook;
}
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    if (const auto& hook = answerHook())
        return hook(prompt, title, defaultText);
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                 QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void setInputBoxAnswer(std::function<QString(const QString&, const QString&, const QString&)> answer)
{
    answerHook() = std::move(answer);
}
