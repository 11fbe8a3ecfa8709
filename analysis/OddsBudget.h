#pragma once

#include <atomic>
#include <chrono>

// How long an analysis may take, and a flag another thread may set to stop it
// sooner. Once either runs out it stays out, so that every later check agrees.
class OddsBudget {
public:
    using Clock = std::chrono::steady_clock;

    OddsBudget(std::chrono::milliseconds budget, const std::atomic<bool>* cancel)
        : m_deadline(Clock::now() + budget), m_cancel(cancel)
    {
    }

    bool spent() const
    {
        if (!m_spent)
            m_spent = (m_cancel && m_cancel->load(std::memory_order_relaxed)) || Clock::now() >= m_deadline;
        return m_spent;
    }

private:
    Clock::time_point m_deadline;
    const std::atomic<bool>* m_cancel = nullptr;
    mutable bool m_spent = false;
};
