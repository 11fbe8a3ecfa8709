#include "TotalCombiner.h"

#include "LogChoose.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// Far enough to push any interior of the largest board to either end.
constexpr double TiltLimit = 64;
constexpr int TiltSteps = 100;
// The tilt need not be exact: any t gives the same ratios, a close one only keeps
// the weights well inside a double's range.
constexpr double TiltPrecision = 1e-12;

double softplus(double x)
{
    return x > 0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x));
}

void normalise(std::vector<double>& v)
{
    const double largest = *std::max_element(v.begin(), v.end());
    if (largest > 0) {
        for (double& x : v)
            x /= largest;
    }
}

// exp of each finite entry less the largest: weights relative to the heaviest.
std::vector<double> fromLogs(std::vector<double> logs)
{
    const double largest = *std::max_element(logs.begin(), logs.end());
    for (double& x : logs)
        x = std::isfinite(x) && std::isfinite(largest) ? std::exp(x - largest) : 0.0;
    return logs;
}
}

double TotalCombiner::tilt(const std::vector<Part>& parts, int interior, int remaining) const
{
    // The tilted expected total rises with theta = ln t.
    const auto expected = [&](double theta) {
        double total = interior > 0 ? interior * std::exp(theta - softplus(theta)) : 0.0;
        for (const Part& part : parts) {
            double largest = -std::numeric_limits<double>::infinity();
            for (int k = part.low; k <= part.high; ++k)
                largest = std::max(largest, part.logCount[k - part.low] + k * theta);
            if (!std::isfinite(largest)) {
                total += part.low;
                continue;
            }
            double sum = 0, weighted = 0;
            for (int k = part.low; k <= part.high; ++k) {
                const double w = std::exp(part.logCount[k - part.low] + k * theta - largest);
                sum += w;
                weighted += k * w;
            }
            total += sum > 0 ? weighted / sum : part.low;
        }
        return total;
    };
    double lo = -TiltLimit, hi = TiltLimit;
    for (int i = 0; i < TiltSteps && hi - lo > TiltPrecision; ++i) {
        const double mid = (lo + hi) / 2;
        (expected(mid) < remaining ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

void TotalCombiner::stepBack(const Part& part, int c, const Row& later, Row& row, bool weights) const
{
    const int width = m_width[at(c)], laterWidth = m_width[at(c) + 1];
    row.reach.assign(at(BitRow::words(width)), 0);
    if (weights)
        row.rest.assign(at(width), 0.0);
    for (int k = part.low; k <= part.high; ++k) {
        if (!BitRow::test(part.totals, k - part.low))
            continue;
        const int shift = m_low[at(c)] + k - m_low[at(c) + 1];
        BitRow::orShifted(row.reach.data(), width, later.reach.data(), laterWidth, -shift);
        if (!weights)
            continue;
        const double q = m_tilted[at(c)][at(k - part.low)];
        const int from = std::max(0, -shift), to = std::min(width, laterWidth - shift);
        for (int i = from; i < to; ++i)
            row.rest[at(i)] += q * later.rest[at(i + shift)];
    }
    if (weights)
        normalise(row.rest);
}

bool TotalCombiner::combine(const std::vector<Part>& parts, int interior, int remaining, bool weights)
{
    const int count = static_cast<int>(parts.size());
    m_interiorSafe = m_interiorMined = false;
    m_interiorChance = 0;
    // The running total before each part lies between what the parts before can
    // hold and what the parts after, with the interior, leave for it.
    std::vector<int> laterLow(at(count) + 1, 0), laterHigh(at(count) + 1, 0);
    for (int c = count - 1; c >= 0; --c) {
        laterLow[at(c)] = laterLow[at(c) + 1] + parts[at(c)].low;
        laterHigh[at(c)] = laterHigh[at(c) + 1] + parts[at(c)].high;
    }
    m_low.assign(at(count) + 1, 0);
    m_width.assign(at(count) + 1, 0);
    for (int c = 0, before = 0, beforeHigh = 0; c <= count; ++c) {
        const int lo = std::max(before, remaining - interior - laterHigh[at(c)]);
        const int hi = std::min(beforeHigh, remaining - laterLow[at(c)]);
        if (lo > hi)
            return false;
        m_low[at(c)] = lo;
        m_width[at(c)] = hi - lo + 1;
        if (c < count) {
            before += parts[at(c)].low;
            beforeHigh += parts[at(c)].high;
        }
    }
    const auto partWidth = [&](int c) { return parts[at(c)].high - parts[at(c)].low + 1; };
    const auto shiftOf = [&](int c, int k) { return m_low[at(c)] + k - m_low[at(c) + 1]; };

    double theta = 0;
    m_tilted.resize(at(count));
    if (weights) {
        theta = tilt(parts, interior, remaining);
        for (int c = 0; c < count; ++c) {
            std::vector<double> logs(at(partWidth(c)));
            for (int k = parts[at(c)].low; k <= parts[at(c)].high; ++k)
                logs[at(k - parts[at(c)].low)] = parts[at(c)].logCount[k - parts[at(c)].low] + k * theta;
            m_tilted[at(c)] = fromLogs(std::move(logs));
        }
    }

    // Backward from the interior: which running totals the rest can complete, and
    // the rest's weight. After the last part every total in the window leaves the
    // interior a count it can hold.
    Row end;
    end.reach.assign(at(BitRow::words(m_width[at(count)])), 0);
    for (int i = 0; i < m_width[at(count)]; ++i)
        BitRow::set(end.reach.data(), i);
    if (weights) {
        const double lp = theta - softplus(theta), lq = -softplus(theta);
        std::vector<double> logs(at(m_width[at(count)]));
        for (int i = 0; i < m_width[at(count)]; ++i) {
            const int m = remaining - (m_low[at(count)] + i);
            logs[at(i)] = logChoose(interior, m) + m * lp + (interior - m) * lq;
        }
        end.rest = fromLogs(std::move(logs));
    }
    // The rows before a part grow with the parts before it, so on a board of
    // thousands of components all of them would not fit in memory: only every
    // block-th is kept, and the rows between are made again when the forward
    // pass gets there.
    const int block = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    std::vector<Row> kept(at(count / block) + 1);
    Row later = end;
    for (int c = count - 1; c >= 0; --c) {
        Row row;
        stepBack(parts[at(c)], c, later, row, weights);
        later = std::move(row);
        if (c % block == 0)
            kept[at(c / block)] = later;
    }
    if (!BitRow::test(later.reach.data(), 0))
        return false;

    // Forward: the running totals the parts before can make, and their weight,
    // met with the backward rows at each part.
    std::vector<BitRow::Word> made(1, 1), nextMade;
    std::vector<double> weight(1, 1.0), nextWeight;
    m_allowed.resize(at(count));
    m_seed.resize(at(count));
    std::vector<Row> between(at(block));
    for (int first = 0; first < count; first += block) {
        const int stop = std::min(first + block, count);
        const Row& stopRow = stop == count ? end : kept[at(stop / block)];
        for (int c = stop - 1; c > first; --c)
            stepBack(parts[at(c)], c, c + 1 == stop ? stopRow : between[at(c + 1 - first)], between[at(c - first)],
                     weights);
        for (int c = first; c < stop; ++c) {
            const Row& after = c + 1 == stop ? stopRow : between[at(c + 1 - first)];
            const Part& part = parts[at(c)];
            const int width = partWidth(c), nextWidth = m_width[at(c) + 1];
            auto& allowed = m_allowed[at(c)];
            allowed.assign(at(BitRow::words(width)), 0);
            nextMade.assign(at(BitRow::words(nextWidth)), 0);
            std::vector<double> logs(at(width), -std::numeric_limits<double>::infinity());
            if (weights)
                nextWeight.assign(at(nextWidth), 0.0);
            bool anyWeight = false;
            for (int k = part.low; k <= part.high; ++k) {
                if (!BitRow::test(part.totals, k - part.low))
                    continue;
                const int shift = shiftOf(c, k);
                BitRow::orShifted(nextMade.data(), nextWidth, made.data(), m_width[at(c)], shift);
                if (BitRow::meetsShifted(after.reach.data(), nextWidth, made.data(), m_width[at(c)], shift))
                    BitRow::set(allowed.data(), k - part.low);
                if (!weights)
                    continue;
                const double q = m_tilted[at(c)][at(k - part.low)];
                const int from = std::max(0, -shift), to = std::min(m_width[at(c)], nextWidth - shift);
                double sum = 0;
                for (int i = from; i < to; ++i) {
                    sum += weight[at(i)] * after.rest[at(i + shift)];
                    nextWeight[at(i + shift)] += q * weight[at(i)];
                }
                if (sum > 0 && BitRow::test(allowed.data(), k - part.low)) {
                    logs[at(k - part.low)] = std::log(sum) + k * theta;
                    anyWeight = true;
                }
            }
            if (weights) {
                if (anyWeight) {
                    m_seed[at(c)] = fromLogs(std::move(logs));
                } else {
                    // Every weight underflowed: the allowed totals are still possible,
                    // and are taken as alike rather than as nothing.
                    m_seed[at(c)].assign(at(width), 0.0);
                    for (int k = 0; k < width; ++k)
                        m_seed[at(c)][at(k)] = BitRow::test(allowed.data(), k) ? 1.0 : 0.0;
                }
                normalise(nextWeight);
                weight.swap(nextWeight);
            }
            made.swap(nextMade);
        }
    }

    // The interior takes whatever the parts leave.
    const int last = m_width[at(count)];
    const int fewest = remaining - (m_low[at(count)] + BitRow::highest(made.data(), last));
    const int most = remaining - (m_low[at(count)] + BitRow::lowest(made.data(), last));
    if (interior > 0) {
        m_interiorSafe = most == 0;
        m_interiorMined = fewest == interior;
        double sum = 0, weighted = 0;
        if (weights) {
            for (int i = 0; i < last; ++i) {
                const double w = weight[at(i)] * end.rest[at(i)];
                sum += w;
                weighted += w * (remaining - (m_low[at(count)] + i));
            }
        }
        m_interiorChance = sum > 0 ? weighted / sum / interior : (fewest + most) / 2.0 / interior;
    }
    return true;
}
