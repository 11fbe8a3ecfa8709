#pragma once

#include "LogCategories.h"

#include <exception>
#include <utility>

// A logging category as Q_LOGGING_CATEGORY defines one.
using LogCategory = const QLoggingCategory& (*)();

// Says at debug level, in the category, that the named step failed and why.
void logSkippedStep(LogCategory category, const char* stepName, const std::exception& error) noexcept;

// Runs one step of a sequence whose steps are each allowed to fail on their own:
// a failing step is skipped and the caller goes on with the next one. Returns
// whether the step completed, for the few callers that branch on it. What was
// skipped is logged under the step's short name, in the caller's category or
// else in "suite.steps", so that a developer can see why something did not
// happen where the player sees nothing.
template <typename Step>
bool attempt(LogCategory category, const char* stepName, Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception& error) {
        logSkippedStep(category, stepName, error);
        return false;
    }
}

template <typename Step>
bool attempt(const char* stepName, Step&& step) noexcept
{
    return attempt(lcSteps, stepName, std::forward<Step>(step));
}
