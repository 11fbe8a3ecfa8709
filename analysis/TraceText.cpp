#include "TraceText.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {
constexpr int Digits = 7;
}

TraceText& TraceText::operator<<(const char* text)
{
    m_text += QLatin1String(text);
    return *this;
}

TraceText& TraceText::operator<<(int value)
{
    m_text += QString::number(value);
    return *this;
}

TraceText& TraceText::operator<<(float value)
{
    m_text += single(value);
    return *this;
}

TraceText& TraceText::operator<<(std::span<const int> list)
{
    for (int value : list) {
        m_text += QString::number(value);
        m_text += QLatin1Char(' ');
    }
    return *this;
}

TraceText& TraceText::newLine()
{
    m_text += QLatin1String("\r\n");
    return *this;
}

QString TraceText::single(float value)
{
    // A difference of two equal clock readings can come out as -0; it reads as 0.
    if (value == 0.0f)
        return QStringLiteral("0");

    // The exact decimal value first (a float has at most 112 significant digits),
    // so that rounding to seven digits looks at the true digits, not at an
    // already rounded form.
    char exact[160];
    const auto written = std::to_chars(exact, exact + sizeof exact, static_cast<double>(value),
                                       std::chars_format::scientific, 120);
    const std::string_view text(exact, static_cast<size_t>(written.ptr - exact));
    const bool negative = text.front() == '-';
    const size_t first = negative ? 1 : 0;
    const size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);

    // Seven significant digits, a half rounded away from zero like ordinary
    // rounding: 43211.125 reads 43211.13.
    char digits[Digits];
    digits[0] = text[first];
    for (int k = 1; k < Digits; ++k)
        digits[k] = text[first + 1 + static_cast<size_t>(k)];
    if (text[first + 1 + Digits] >= '5') {
        int k = Digits - 1;
        while (k >= 0 && digits[k] == '9')
            digits[k--] = '0';
        if (k >= 0) {
            ++digits[k];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    int used = Digits;
    while (used > 1 && digits[used - 1] == '0')
        --used;

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= Digits) {
        out += digits[0];
        if (used > 1) {
            out += '.';
            out.append(digits + 1, static_cast<size_t>(used - 1));
        }
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out.append(digits, static_cast<size_t>(used));
    } else {
        const int whole = exponent + 1;
        for (int k = 0; k < whole; ++k)
            out += k < used ? digits[k] : '0';
        if (used > whole) {
            out += '.';
            out.append(digits + whole, static_cast<size_t>(used - whole));
        }
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}
