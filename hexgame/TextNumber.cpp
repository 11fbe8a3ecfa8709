#include "TextNumber.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {
// Beyond this any number is far outside every range the game accepts; it is
// kept that far out rather than read in full.
constexpr qsizetype MaxWholeDigits = 12;
constexpr qsizetype MaxFractionDigits = 12;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads sign, digits and fraction from pos; the number and where it ended, or
// nothing when no digit is there.
std::optional<double> scanNumber(const QString& text, qsizetype& pos)
{
    qsizetype i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Leading zeros are dropped and the digits past any that could matter are
    // skipped, so the conversion below only ever sees a short number.
    QString whole;
    bool any = false;
    while (i < text.size() && isDigit(text[i])) {
        if (!(whole.isEmpty() && text[i] == u'0') && whole.size() < MaxWholeDigits)
            whole += text[i];
        ++i;
        any = true;
    }
    QString fraction;
    if (i < text.size() && text[i] == u'.') {
        qsizetype j = i + 1;
        while (j < text.size() && isDigit(text[j])) {
            if (fraction.size() < MaxFractionDigits)
                fraction += text[j];
            ++j;
        }
        if (any || j > i + 1) {
            any = true;
            i = j;
        }
    }
    if (!any)
        return std::nullopt;
    pos = i;
    const QString digits = (whole.isEmpty() ? QStringLiteral("0") : whole) + u'.' + fraction + u'0';
    const double value = QLocale::c().toDouble(digits);
    return negative ? -value : value;
}
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);   // the default rounding mode is to nearest, ties to even
}

double leadingNumber(const QString& text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return scanNumber(text, pos).value_or(0.0);
}

std::optional<qint16> wholeNumber16(const QString& text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const std::optional<double> number = scanNumber(text, pos);
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (!number || pos != text.size() || !std::isfinite(*number))
        return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(rounded);
}
