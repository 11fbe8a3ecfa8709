#pragma once

#include <QString>

#include <functional>

// The one-line input prompt: a modal box with a prompt, a title and a default
// answer that is preselected. Cancel gives an empty text, as does closing the box.
// A maxLength above 0 is the most characters the box takes.
QString InputBox(const QString& prompt, const QString& title, const QString& defaultText, int maxLength = 0);

// Tests answer the prompt themselves instead of showing it; nullptr restores the box.
void setInputBoxAnswer(std::function<QString(const QString&, const QString&, const QString&)> answer);
