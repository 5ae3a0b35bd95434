#pragma once

#include <string>

class QTranslator;

// Installs Qt's own translations (file dialogs, standard buttons, context menus of edits) for
// locale ("de", "pt_BR"; "pt" is tried after "pt_BR"), so they speak the window's language.
// The installed translator (owned by the application), or null when Qt has none for locale:
// its texts then stay English.
QTranslator* InstallQtTranslations(const std::string& locale);
