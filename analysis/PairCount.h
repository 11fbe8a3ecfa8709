#pragma once

// What two numbers that share covered cells prove about them, found by counting
// instead of listing placements. The covered cells split into three groups: those
// only the first number sees, the shared ones and those only the second sees. Both
// numbers depend only on how many mines each group holds, and once the shared count
// is chosen the other two follow, so at most nine cases (0 to 8 shared mines) decide
// everything. A cell is safe when no placement puts a mine on it, which for a group
// means its count is 0 in every feasible case; it is a mine when its group is full
// in every feasible case.
class PairCount {
public:
    enum Group { OnlyFirst, Shared, OnlySecond };

    // first, shared, second: the sizes of the three groups; need1, need2: the
    // mines each number still lacks (its number minus its flags).
    PairCount(int first, int shared, int second, int need1, int need2);

    // False when no placement satisfies both numbers (flags that contradict them,
    // or a lost board): such a pair proves nothing.
    bool feasible() const { return m_feasible; }
    // The verdict (Verdicts::None, Safe or Mine) for every cell of a group; None
    // for an empty group.
    int verdict(Group group) const { return m_verdict[group]; }
    // True when the pair decides at least one cell.
    bool productive() const;

private:
    bool m_feasible = false;
    int m_verdict[3] = {};
};
