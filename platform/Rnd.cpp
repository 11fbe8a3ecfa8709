#include "Rnd.h"

#include <chrono>

namespace {
std::function<quint32()>& seedSource()
{
    static std::function<quint32()> source;
    return source;
}

quint32 clockSeed()
{
    if (const auto& source = seedSource())
        return source();
    // Two fields made in the same tick must still deal different boards.
    static quint32 counter = 0;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<quint32>(now) ^ static_cast<quint32>(now >> 32) ^ (++counter * 0x9E3779B9u);
}
}

Rnd::Rnd() : m_engine(clockSeed()) {}

float Rnd::operator()()
{
    // 24 random bits fill a float's mantissa exactly, so the result is < 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

void Rnd::Randomize(quint32 seed)
{
    m_engine.seed(seed);
}

void Rnd::setSeedSource(std::function<quint32()> source)
{
    seedSource() = std::move(source);
}
