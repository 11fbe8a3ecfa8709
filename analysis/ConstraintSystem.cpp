#include "ConstraintSystem.h"

#include "OddsInput.h"

#include "FieldCodes.h"

#include <algorithm>
#include <numeric>

namespace {
std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

std::uint64_t mix(std::uint64_t h, std::uint64_t v)
{
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    return h;
}

int findRoot(std::vector<int>& parent, int x)
{
    while (parent[at(x)] != x) {
        parent[at(x)] = parent[at(parent[at(x)])];
        x = parent[at(x)];
    }
    return x;
}
}

bool ConstraintSystem::build(const OddsInput& input)
{
    const int count = input.cellCount();
    m_value.assign(at(count), Safe);
    m_covered.assign(at(count), 0);
    m_interior.clear();
    m_components.clear();
    int known = 0;
    for (int i = 0; i < count; ++i) {
        const int status = input.status[at(i)];
        if (status == CellStatus::Covered || status == CellStatus::Pressed) {
            m_value[at(i)] = Undecided;
            m_covered[at(i)] = 1;
        } else if (status == CellStatus::Flagged || status == CellStatus::Exploded) {
            m_value[at(i)] = Mine;
            ++known;
        }
    }
    m_remaining = input.mineTotal - known;
    if (m_remaining < 0 || !readNumbers(input) || !settle())
        return false;
    int undecided = 0;
    for (int i = 0; i < count; ++i) {
        if (m_covered[at(i)]) {
            undecided += m_value[at(i)] == Undecided;
            m_remaining -= m_value[at(i)] == Mine;
        }
    }
    if (m_remaining < 0 || m_remaining > undecided)
        return false;
    split();
    return true;
}

bool ConstraintSystem::readNumbers(const OddsInput& input)
{
    const int count = input.cellCount();
    m_start.assign(1, 0);
    m_member.clear();
    m_weight.clear();
    m_need.clear();
    m_open.clear();
    std::vector<int> around;
    for (int i = 0; i < count; ++i) {
        if (input.status[at(i)] != CellStatus::Opened)
            continue;
        int need = input.number[at(i)];
        around.clear();
        for (int n : input.neighbours(i)) {
            if (m_value[at(n)] == Mine)
                --need;
            else if (m_value[at(n)] == Undecided)
                around.push_back(n);
        }
        if (need < 0 || need > static_cast<int>(around.size()))
            return false;
        if (around.empty())
            continue;
        // A list that names a cell twice counts its mine twice, as the field's
        // own numbers do.
        std::sort(around.begin(), around.end());
        for (std::size_t k = 0; k < around.size();) {
            std::size_t e = k;
            while (e < around.size() && around[e] == around[k])
                ++e;
            m_member.push_back(around[k]);
            m_weight.push_back(static_cast<int>(e - k));
            k = e;
        }
        m_start.push_back(static_cast<int>(m_member.size()));
        m_need.push_back(need);
        m_open.push_back(static_cast<int>(around.size()));
    }
    // Which numbers each cell belongs to.
    m_inStart.assign(at(count) + 1, 0);
    for (int n : m_member)
        ++m_inStart[at(n) + 1];
    std::partial_sum(m_inStart.begin(), m_inStart.end(), m_inStart.begin());
    m_inNumber.resize(m_member.size());
    m_inWeight.resize(m_member.size());
    std::vector<int> fill(m_inStart.begin(), m_inStart.end() - 1);
    for (int c = 0; c + 1 < static_cast<int>(m_start.size()); ++c) {
        for (int k = m_start[at(c)]; k < m_start[at(c) + 1]; ++k) {
            const int slot = fill[at(m_member[at(k)])]++;
            m_inNumber[at(slot)] = c;
            m_inWeight[at(slot)] = m_weight[at(k)];
        }
    }
    return true;
}

bool ConstraintSystem::settle()
{
    std::vector<int> queue;
    for (int c = 0; c < static_cast<int>(m_need.size()); ++c) {
        if (m_need[at(c)] == 0 || m_need[at(c)] == m_open[at(c)])
            queue.push_back(c);
    }
    while (!queue.empty()) {
        const int c = queue.back();
        queue.pop_back();
        if (m_open[at(c)] == 0)
            continue;
        Value v;
        if (m_need[at(c)] == 0)
            v = Safe;
        else if (m_need[at(c)] == m_open[at(c)])
            v = Mine;
        else
            continue;
        for (int k = m_start[at(c)]; k < m_start[at(c) + 1]; ++k) {
            const int cell = m_member[at(k)];
            if (m_value[at(cell)] == Undecided && !decide(cell, v, queue))
                return false;
        }
    }
    return true;
}

bool ConstraintSystem::decide(int cell, Value v, std::vector<int>& queue)
{
    m_value[at(cell)] = v;
    for (int k = m_inStart[at(cell)]; k < m_inStart[at(cell) + 1]; ++k) {
        const int c = m_inNumber[at(k)];
        const int w = m_inWeight[at(k)];
        m_open[at(c)] -= w;
        m_need[at(c)] -= v == Mine ? w : 0;
        if (m_need[at(c)] < 0 || m_need[at(c)] > m_open[at(c)])
            return false;
        if (m_open[at(c)] > 0 && (m_need[at(c)] == 0 || m_need[at(c)] == m_open[at(c)]))
            queue.push_back(c);
    }
    return true;
}

void ConstraintSystem::split()
{
    const int count = static_cast<int>(m_value.size());
    const int numbers = static_cast<int>(m_need.size());
    std::vector<int> parent(at(count));
    std::iota(parent.begin(), parent.end(), 0);
    for (int c = 0; c < numbers; ++c) {
        if (m_open[at(c)] == 0)
            continue;
        int first = -1;
        for (int k = m_start[at(c)]; k < m_start[at(c) + 1]; ++k) {
            const int cell = m_member[at(k)];
            if (m_value[at(cell)] != Undecided)
                continue;
            const int root = findRoot(parent, cell);
            if (first < 0)
                first = root;
            else if (root != first)
                parent[at(root)] = first;
        }
    }
    // Cells in ascending order, so each component lists its cells ascending.
    std::vector<int> componentOf(at(count), -1), local(at(count), -1);
    for (int i = 0; i < count; ++i) {
        if (m_value[at(i)] != Undecided)
            continue;
        if (m_inStart[at(i)] == m_inStart[at(i) + 1]) {
            m_interior.push_back(i);
            continue;
        }
        const int root = findRoot(parent, i);
        if (componentOf[at(root)] < 0) {
            componentOf[at(root)] = static_cast<int>(m_components.size());
            m_components.emplace_back();
        }
        OddsComponent& comp = m_components[at(componentOf[at(root)])];
        local[at(i)] = comp.size();
        comp.cells.push_back(i);
    }
    // Each number still open, on its undecided cells, in its component.
    struct Equation {
        int component, need;
        std::vector<int> members, weights;
    };
    std::vector<Equation> equations;
    for (int c = 0; c < numbers; ++c) {
        if (m_open[at(c)] == 0)
            continue;
        Equation eq{-1, m_need[at(c)], {}, {}};
        for (int k = m_start[at(c)]; k < m_start[at(c) + 1]; ++k) {
            const int cell = m_member[at(k)];
            if (m_value[at(cell)] != Undecided)
                continue;
            eq.component = componentOf[at(findRoot(parent, cell))];
            eq.members.push_back(local[at(cell)]);
            eq.weights.push_back(m_weight[at(k)]);
        }
        equations.push_back(std::move(eq));
    }
    // Grouped by component, each group in a fixed order, and numbers that say the
    // same of the same cells kept once: the same component on another board, or a
    // move later, is then the same content.
    std::sort(equations.begin(), equations.end(), [](const Equation& a, const Equation& b) {
        if (a.component != b.component)
            return a.component < b.component;
        if (a.members != b.members)
            return a.members < b.members;
        if (a.weights != b.weights)
            return a.weights < b.weights;
        return a.need < b.need;
    });
    equations.erase(std::unique(equations.begin(), equations.end(),
                                [](const Equation& a, const Equation& b) {
                                    return a.component == b.component && a.need == b.need
                                        && a.members == b.members && a.weights == b.weights;
                                }),
                    equations.end());
    for (OddsComponent& comp : m_components)
        comp.start.assign(1, 0);
    for (const Equation& eq : equations) {
        OddsComponent& comp = m_components[at(eq.component)];
        comp.need.push_back(eq.need);
        comp.member.insert(comp.member.end(), eq.members.begin(), eq.members.end());
        comp.weight.insert(comp.weight.end(), eq.weights.begin(), eq.weights.end());
        comp.start.push_back(static_cast<int>(comp.member.size()));
    }
    for (OddsComponent& comp : m_components) {
        std::uint64_t h = mix(0, comp.cells.size());
        for (int cell : comp.cells)
            h = mix(h, static_cast<std::uint64_t>(cell));
        for (int c = 0; c < comp.constraints(); ++c) {
            h = mix(h, static_cast<std::uint64_t>(comp.need[at(c)]) << 32 | static_cast<std::uint32_t>(comp.start[at(c) + 1]));
            for (int k = comp.start[at(c)]; k < comp.start[at(c) + 1]; ++k)
                h = mix(h, static_cast<std::uint64_t>(comp.member[at(k)]) << 8 | static_cast<std::uint64_t>(comp.weight[at(k)]));
        }
        comp.key = h;
    }
}
