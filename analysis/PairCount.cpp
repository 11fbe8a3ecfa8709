#include "PairCount.h"

#include "Verdicts.h"

PairCount::PairCount(int first, int shared, int second, int need1, int need2)
{
    const int size[3] = {first, shared, second};
    bool empty[3] = {true, true, true};
    bool full[3] = {true, true, true};
    for (int y = 0; y <= shared; ++y) {
        const int x = need1 - y, z = need2 - y;
        if (x < 0 || x > first || z < 0 || z > second)
            continue;
        m_feasible = true;
        const int mines[3] = {x, y, z};
        for (int g = 0; g < 3; ++g) {
            empty[g] = empty[g] && mines[g] == 0;
            full[g] = full[g] && mines[g] == size[g];
        }
    }
    if (!m_feasible)
        return;
    for (int g = 0; g < 3; ++g) {
        if (size[g] == 0)
            continue;
        if (empty[g])
            m_verdict[g] = Verdicts::Safe;
        else if (full[g])
            m_verdict[g] = Verdicts::Mine;
    }
}

bool PairCount::productive() const
{
    return m_verdict[OnlyFirst] != Verdicts::None || m_verdict[Shared] != Verdicts::None
        || m_verdict[OnlySecond] != Verdicts::None;
}
