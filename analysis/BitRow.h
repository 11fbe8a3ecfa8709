#pragma once

#include <cstdint>

// A row of bits held in 64-bit words, bit i standing for the number low + i of
// whatever window its owner keeps. The analysis tracks which mine counts are
// possible with these, beside its weights, so that a proof never rests on a
// floating-point value that merely underflowed to zero. Bits past a row's width
// are kept clear.
namespace BitRow {
using Word = std::uint64_t;
constexpr int WordBits = 64;

constexpr int words(int width) { return (width + WordBits - 1) / WordBits; }
inline bool test(const Word* row, int i) { return (row[i / WordBits] >> (i % WordBits)) & 1u; }
inline void set(Word* row, int i) { row[i / WordBits] |= Word{1} << (i % WordBits); }

// dst |= src moved up by shift places (down when negative); what falls outside
// dst's width is dropped.
void orShifted(Word* dst, int dstWidth, const Word* src, int srcWidth, int shift);
// True when a and b moved up by shift places share a bit.
bool meetsShifted(const Word* a, int aWidth, const Word* b, int bWidth, int shift);
// The lowest and highest set bit, -1 when there is none.
int lowest(const Word* row, int width);
int highest(const Word* row, int width);
bool any(const Word* row, int width);
}
