#pragma once

#include "OddsComponent.h"

#include <cstdint>
#include <vector>

struct OddsInput;

// A position as equations: each open number asks for its missing mines among its
// covered neighbours. Building it settles every cell that a single number decides
// (a number with all its mines found clears the rest, one with as many covered
// cells as missing mines has them all mined), again and again until nothing more
// follows. That keeps every fitting placement and removes no other, so what it
// settles is proven. The cells left open fall apart into components, counted
// one by one, and the interior: cells next to no number, which only the mine
// total speaks of.
class ConstraintSystem {
public:
    enum Value : std::int8_t { Undecided = -1, Safe = 0, Mine = 1 };

    // False when no placement can fit (a number with more flags around it than it
    // shows, fewer covered cells than missing mines, more mines left than cells).
    bool build(const OddsInput& input);

    // Opened, flagged and exploded cells keep the value the player sees; covered
    // ones are Undecided unless a number settled them.
    Value value(int cell) const { return static_cast<Value>(m_value[static_cast<std::size_t>(cell)]); }
    bool covered(int cell) const { return m_covered[static_cast<std::size_t>(cell)] != 0; }
    // Mines still to be placed among the undecided cells.
    int remaining() const { return m_remaining; }
    const std::vector<int>& interior() const { return m_interior; }
    const std::vector<OddsComponent>& components() const { return m_components; }

private:
    bool readNumbers(const OddsInput& input);
    bool settle();
    bool decide(int cell, Value v, std::vector<int>& queue);
    void split();

    std::vector<std::int8_t> m_value;
    std::vector<std::int8_t> m_covered;
    int m_remaining = 0;
    // The numbers, each with its cells (and how often it counts each) and the
    // mines and weight still open among them.
    std::vector<int> m_start, m_member, m_weight, m_need, m_open;
    // For each cell, the numbers it belongs to: (number, weight) pairs.
    std::vector<int> m_inStart, m_inNumber, m_inWeight;
    std::vector<int> m_interior;
    std::vector<OddsComponent> m_components;
};
