#include "InputBox.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>

namespace {
std::function<QString(const QString&, const QString&, const QString&)>& answerHook()
{
    static std::function<QString(const QString&, const QString&, const QString&)> hook;
    return hook;
}
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText, int maxLength)
{
    if (const auto& hook = answerHook())
        return hook(prompt, title, defaultText);
    // On the heap and watched: the window it belongs to may go while it is open.
    QPointer<QInputDialog> dialog = new QInputDialog(QApplication::activeWindow());
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(defaultText);
    if (maxLength > 0) {
        if (auto* edit = dialog->findChild<QLineEdit*>())
            edit->setMaxLength(maxLength);
    }
    const int result = dialog->exec();
    if (!dialog)
        return QString();
    const QString answer = result == QDialog::Accepted ? dialog->textValue() : QString();
    delete dialog;
    return answer;
}

void setInputBoxAnswer(std::function<QString(const QString&, const QString&, const QString&)> answer)
{
    answerHook() = std::move(answer);
}
