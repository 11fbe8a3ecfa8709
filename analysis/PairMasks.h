#pragma once

#include <vector>

// The placements of mines over the covered cells of a pair of numbers, listed
// one by one as bit masks. The engine decides by counting (PairCount); these
// lists exist for the trace, which shows every placement that fits.
namespace PairMasks {
// The mask of the lowest count bits.
unsigned lowBits(int count);
// The cells only the first number sees, then the shared ones, then those only
// the second sees. A cell list holding the single value -1 stands for an empty list.
std::vector<int> UnionOrdered(const std::vector<int>& a, const std::vector<int>& b);
std::vector<int> AllMasks(int n);
// Keeps the masks whose bits 0 to r - 1 hold exactly R1 mines and whose bits
// n - s to n - 1 hold exactly R2, in their order. An empty result means that no
// placement fits both numbers; it is never padded with a mask that fails.
std::vector<int> FilterMasks(const std::vector<int>& masks, int n, int r, int s, int R1, int R2);
std::vector<int> MineCounts(const std::vector<int>& masks, int n);
}
