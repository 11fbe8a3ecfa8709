#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// How the game reads numbers out of text that a player typed or a file held.

// The number a text starts with, after leading blanks: an optional sign, digits
// and an optional fraction. A text that does not start with a number reads as 0,
// and one that starts with a number followed by anything else reads as that number.
double leadingNumber(const QString& text);

// A whole box or file line as a 16-bit integer: surrounding blanks are dropped, the
// rest must be a number as a whole, and a fraction is rounded (halves to even).
// Nothing when the text is not a number or lies outside the 16-bit range.
std::optional<qint16> wholeNumber16(const QString& text);

// A number rounded to a whole one, halves to even, as the toolkit's conversion
// to an integer does.
double roundHalfEven(double value);
