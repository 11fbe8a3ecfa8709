#pragma once

#include "CommonDialog.h"
#include "RuntimeError.h"

#include <QString>
#include <QStringList>

// A file dialog that shows nothing: each show takes the next scripted answer, a
// path to choose or an empty text for Cancel, and counts how often it was shown.
class ScriptedFileDialog : public CommonDialog {
public:
    explicit ScriptedFileDialog(QStringList answers) : m_answers(std::move(answers)) {}

    void ShowOpen() override { answer(); }
    void ShowSave() override { answer(); }

    int shows = 0;

private:
    void answer()
    {
        ++shows;
        const QString path = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        if (path.isEmpty())
            throw cancelSelected();
        choose(path);
    }

    QStringList m_answers;
};
