#include "Attempt.h"

#include "RuntimeError.h"

void logSkippedStep(LogCategory category, const char* stepName, const std::exception& error) noexcept
{
    // The caller is passing a failure over; a failure to tell of it must not
    // become one of its own.
    try {
        if (const auto* numbered = dynamic_cast<const RuntimeError*>(&error))
            qCDebug(category, "%s: skipped, error %d: %s", stepName, numbered->number(), numbered->what());
        else
            qCDebug(category, "%s: skipped: %s", stepName, error.what());
    } catch (...) {
    }
}
