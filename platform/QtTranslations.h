#pragma once

class QCoreApplication;

// Puts the toolkit's own Chinese texts in place (the file dialogs' buttons,
// columns and questions), as on the Chinese system the program is made for.
// True when the translations were found and installed.
bool installQtTranslations(QCoreApplication& app);
