#pragma once

#include <QtGlobal>

#include <functional>
#include <random>

// A uniform generator in [0, 1), one per owner, seeded from the clock when it is
// made. Single precision on purpose: mine placement scales the draw by the pool
// size and relies on the largest draw staying below 1.
class Rnd {
public:
    Rnd();
    float operator()();
    void Randomize(quint32 seed);

    // Tests make newly created generators reproducible; nullptr restores the clock.
    static void setSeedSource(std::function<quint32()> source);

private:
    std::mt19937 m_engine;
};
