#include "PairMasks.h"

#include "RuntimeError.h"

#include <algorithm>
#include <bit>

namespace {
constexpr int EmptyListMark = -1;

// Lists never have zero entries: an empty one is the single mark.
std::vector<int> orEmptyMark(std::vector<int> list)
{
    if (list.empty())
        list.push_back(EmptyListMark);
    return list;
}
}

unsigned PairMasks::lowBits(int count)
{
    return count >= 32 ? ~0u : (1u << count) - 1u;
}

std::vector<int> PairMasks::UnionOrdered(const std::vector<int>& a, const std::vector<int>& b)
{
    // Cells only the first number sees, then the shared ones, then those only the
    // second sees: each number then covers one unbroken range of mask bits.
    const auto inList = [](const std::vector<int>& list, int v) {
        return std::find(list.begin(), list.end(), v) != list.end();
    };
    std::vector<int> out;
    out.reserve(a.size() + b.size());
    for (int v : a) {
        if (!inList(b, v))
            out.push_back(v);
    }
    for (int v : a) {
        if (inList(b, v))
            out.push_back(v);
    }
    for (int v : b) {
        if (!inList(a, v))
            out.push_back(v);
    }
    return orEmptyMark(std::move(out));
}

std::vector<int> PairMasks::AllMasks(int n)
{
    if (n < 0 || n > 30)
        throw subscriptOutOfRange();
    std::vector<int> masks(size_t{1} << n);
    for (size_t k = 0; k < masks.size(); ++k)
        masks[k] = static_cast<int>(k);
    return masks;
}

std::vector<int> PairMasks::FilterMasks(const std::vector<int>& masks, int n, int r, int s, int R1, int R2)
{
    const unsigned firstBits = lowBits(r);
    const unsigned secondBits = lowBits(s);
    const int secondShift = std::max(0, n - s);
    std::vector<int> kept;
    kept.reserve(masks.size());
    for (int mask : masks) {
        const auto m = static_cast<unsigned>(mask);
        if (std::popcount(m & firstBits) == R1 && std::popcount((m >> secondShift) & secondBits) == R2)
            kept.push_back(mask);
    }
    return kept;
}

std::vector<int> PairMasks::MineCounts(const std::vector<int>& masks, int n)
{
    std::vector<int> counts(static_cast<size_t>(std::max(n, 0)), 0);
    for (int mask : masks) {
        for (int j = 0; j < n; ++j)
            counts[static_cast<size_t>(j)] += (static_cast<unsigned>(mask) >> j) & 1u;
    }
    return counts;
}
