#pragma once

#include <string>

// The locale name ("de", "pt_BR") of a language library's name ("german", "portugues_br"), for
// the texts that come from elsewhere than kelto's libraries (Qt's file dialogs and buttons).
// "en" for English and for a name kelto does not know.
std::string LocaleOfLanguage(const std::string& languageName);
