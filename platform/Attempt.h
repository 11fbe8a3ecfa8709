#pragma once

#include <exception>
#include <utility>

// Runs one step of a sequence whose steps are each allowed to fail on their own:
// a failing step is skipped and the caller goes on with the next one. Returns
// whether the step completed, for the few callers that branch on it.
template <typename Step>
bool attempt(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
