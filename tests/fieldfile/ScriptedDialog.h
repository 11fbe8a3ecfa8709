#pragma once

#include "CommonDialog.h"
#include "RuntimeError.h"

#include <QList>
#include <QString>

#include <utility>

// A file dialog that shows nothing: it records the settings it was shown with
// and answers with a fixed path, or cancels when it has none.
class ScriptedDialog : public CommonDialog {
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

    explicit ScriptedDialog(QString answer = {}) : m_answer(std::move(answer)) {}

    void ShowOpen() override { answer(true); }
    void ShowSave() override { answer(false); }

    QList<Shown> shown;

private:
    void answer(bool open)
    {
        shown.append({open, Filter, FilterIndex, DefaultExt, Flags, DialogTitle, FileName});
        if (m_answer.isEmpty())
            throw cancelSelected();
        choose(m_answer);
    }

    QString m_answer;
};
