#include "BitRow.h"

#include <bit>

namespace BitRow {
namespace {
// Floor division, so that a shift down splits into a whole-word and a bit part too.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
}

void orShifted(Word* dst, int dstWidth, const Word* src, int srcWidth, int shift)
{
    const int dstWords = words(dstWidth), srcWords = words(srcWidth);
    const int wordShift = floorDiv(shift, WordBits);
    const int bitShift = shift - wordShift * WordBits;
    for (int w = 0; w < srcWords; ++w) {
        const Word v = src[w];
        if (!v)
            continue;
        const int to = w + wordShift;
        if (to >= 0 && to < dstWords)
            dst[to] |= v << bitShift;
        if (bitShift && to + 1 >= 0 && to + 1 < dstWords)
            dst[to + 1] |= v >> (WordBits - bitShift);
    }
    if (dstWidth % WordBits && dstWords > 0)
        dst[dstWords - 1] &= (Word{1} << (dstWidth % WordBits)) - 1;
}

bool meetsShifted(const Word* a, int aWidth, const Word* b, int bWidth, int shift)
{
    const int aWords = words(aWidth), bWords = words(bWidth);
    const int wordShift = floorDiv(shift, WordBits);
    const int bitShift = shift - wordShift * WordBits;
    for (int w = 0; w < bWords; ++w) {
        const Word v = b[w];
        if (!v)
            continue;
        const int to = w + wordShift;
        if (to >= 0 && to < aWords && (a[to] & (v << bitShift)))
            return true;
        if (bitShift && to + 1 >= 0 && to + 1 < aWords && (a[to + 1] & (v >> (WordBits - bitShift))))
            return true;
    }
    return false;
}

int lowest(const Word* row, int width)
{
    for (int w = 0; w < words(width); ++w) {
        if (row[w])
            return w * WordBits + std::countr_zero(row[w]);
    }
    return -1;
}

int highest(const Word* row, int width)
{
    for (int w = words(width) - 1; w >= 0; --w) {
        if (row[w])
            return w * WordBits + WordBits - 1 - std::countl_zero(row[w]);
    }
    return -1;
}

bool any(const Word* row, int width)
{
    return lowest(row, width) >= 0;
}
}
