#include "LogCategories.h"

// Defined in this one file of the platform, so each program, and the component
// library with its own copy of the platform, has exactly one object for each:
// Qt's logging rules reach both copies by name.
Q_LOGGING_CATEGORY(lcRegistry, "suite.registry", QtInfoMsg)
Q_LOGGING_CATEGORY(lcComponent, "suite.component", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFiles, "suite.files", QtInfoMsg)
Q_LOGGING_CATEGORY(lcText, "suite.text", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSteps, "suite.steps", QtInfoMsg)
