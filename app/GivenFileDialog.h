#pragma once

#include "CommonDialog.h"

#include <utility>

// A file dialog that shows nothing and answers with a file chosen beforehand, as
// when the desktop opens a minefield file with the game.
class GivenFileDialog : public CommonDialog {
public:
    explicit GivenFileDialog(QString path) : m_path(std::move(path)) {}

    void ShowOpen() override { choose(m_path); }
    void ShowSave() override { choose(m_path); }

private:
    QString m_path;
};
