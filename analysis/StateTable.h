#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Numbers the distinct states of one layer of a count as they turn up: an open
// addressing table from a state's packed key to its index in the layer. Cleared
// for every layer without giving back its room.
class StateTable {
public:
    void clear(std::size_t expected)
    {
        std::size_t room = MinRoom;
        while (room < 2 * expected)
            room *= 2;
        m_keys.assign(room, 0);
        m_index.assign(room, -1);
        m_used = 0;
    }

    // The index of key, or fresh when key is new (then stored under fresh).
    int find(std::uint64_t key, int fresh)
    {
        if (2 * (m_used + 1) > m_keys.size())
            grow();
        const std::size_t mask = m_keys.size() - 1;
        for (std::size_t at = hash(key) & mask;; at = (at + 1) & mask) {
            if (m_index[at] < 0) {
                m_keys[at] = key;
                m_index[at] = fresh;
                ++m_used;
                return fresh;
            }
            if (m_keys[at] == key)
                return m_index[at];
        }
    }

private:
    static constexpr std::size_t MinRoom = 16;  // a power of two

    static std::size_t hash(std::uint64_t key)
    {
        key ^= key >> 31;
        key *= 0x7fb5d329728ea185ULL;
        key ^= key >> 27;
        return static_cast<std::size_t>(key);
    }

    void grow()
    {
        std::vector<std::uint64_t> keys;
        std::vector<int> index;
        keys.swap(m_keys);
        index.swap(m_index);
        m_keys.assign(keys.size() * 2, 0);
        m_index.assign(keys.size() * 2, -1);
        const std::size_t mask = m_keys.size() - 1;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (index[k] < 0)
                continue;
            std::size_t at = hash(keys[k]) & mask;
            while (m_index[at] >= 0)
                at = (at + 1) & mask;
            m_keys[at] = keys[k];
            m_index[at] = index[k];
        }
    }

    std::vector<std::uint64_t> m_keys;
    std::vector<int> m_index;
    std::size_t m_used = 0;
};
