#pragma once

#include <QLoggingCategory>

// Where the platform says why something it passes over in silence went wrong.
// Each category shows only warnings and worse unless a logging rule turns its
// debug messages on (QT_LOGGING_RULES="suite.registry.debug=true"), and nothing
// here ever warns: players see nothing, a developer asks for the reasons.
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)   // "suite.registry": hives, locks, refused writes
Q_DECLARE_LOGGING_CATEGORY(lcComponent)  // "suite.component": components created and called by name
Q_DECLARE_LOGGING_CATEGORY(lcFiles)      // "suite.files": files that could not be read or saved
Q_DECLARE_LOGGING_CATEGORY(lcText)       // "suite.text": text that could not be converted
Q_DECLARE_LOGGING_CATEGORY(lcSteps)      // "suite.steps": steps that failed and were skipped
