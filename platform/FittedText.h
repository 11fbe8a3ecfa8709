#pragma once

#include <QFont>

class QLabel;
class QString;

// Status labels have a fixed place and size, yet what they count has no fixed
// width: a mine counter can reach five digits and a minus sign, a clock has no
// upper limit. Rather than clip the digits or move the label, the text is shown
// in the label's design font while it fits and in a smaller size of that font
// when it does not.

// The room a label gives its text across: its contents less its margin and the
// indent on the side the text is aligned to.
int textRoom(const QLabel& label, const QFont& font);

// The design font, or the largest smaller size of it whose advance for text fits
// the label's room; the smallest size tried when even that does not fit.
QFont fittedFont(const QLabel& label, const QString& text, const QFont& design);

// Shows text in the font fittedFont chooses.
void setFittedText(QLabel& label, const QString& text, const QFont& design);
