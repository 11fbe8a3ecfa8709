#pragma once

#include <QString>

#include <span>

// Builds one block of the engine's trace: lines joined by CR LF with nothing after
// the last, numbers in plain decimal, lists as their entries each followed by one
// space, single-precision values in their shortest form of up to seven digits.
class TraceText {
public:
    TraceText& operator<<(const char* text);
    TraceText& operator<<(int value);
    TraceText& operator<<(float value);
    TraceText& operator<<(std::span<const int> list);
    // Starts the next line; the text never ends with a line break.
    TraceText& newLine();
    const QString& text() const { return m_text; }

    // A single-precision value as text: rounded to seven significant digits (a
    // half away from zero), no trailing zeros, no trailing point, and an exponent
    // ("1.5E-05", "1.234568E+07") where %G would use one: below 0.0001 or from
    // 10,000,000 up.
    static QString single(float value);

private:
    QString m_text;
};
