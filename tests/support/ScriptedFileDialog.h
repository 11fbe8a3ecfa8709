#pragma once

#include "CommonDialog.h"
#include "RuntimeError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A file dialog that shows nothing: each show records the settings it was shown
// with and takes the next scripted answer, a path to choose or an empty text
// (or no answer left) for Cancel.
class ScriptedFileDialog : public CommonDialog {
public:
    struct Shown {
        bool open = false;
        QString Filter;
        int FilterIndex = 0;
        QString DefaultExt;
        int Flags = 0;
        QString DialogTitle;
        QString FileName;
    };

    explicit ScriptedFileDialog(QStringList answers = {}) : m_answers(std::move(answers)) {}

    void ShowOpen() override { answer(true); }
    void ShowSave() override { answer(false); }

    QList<Shown> shown;

private:
    void answer(bool open)
    {
        shown.append({open, Filter, FilterIndex, DefaultExt, Flags, DialogTitle, FileName});
        const QString path = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        if (path.isEmpty())
            throw cancelSelected();
        choose(path);
    }

    QStringList m_answers;
};
