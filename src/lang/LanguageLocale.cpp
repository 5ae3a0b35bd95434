#include "lang/LanguageLocale.h"

#include <algorithm>
#include <cctype>
#include <utility>

std::string LocaleOfLanguage(const std::string& languageName) {
    static const std::pair<const char*, const char*> kLocales[] = {
        {"czech", "cs"},   {"danish", "da"},     {"dutch", "nl"},      {"finnish", "fi"},
        {"french", "fr"},  {"german", "de"},     {"greek", "el"},      {"hungarian", "hu"},
        {"icelandic", "is"}, {"italian", "it"},  {"norwegian", "nb"},  {"polish", "pl"},
        {"portugues_br", "pt_BR"}, {"russian", "ru"}, {"slovak", "sk"}, {"spanish", "es"},
        {"swedish", "sv"}, {"turkish", "tr"},
    };
    std::string name = languageName;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [language, locale] : kLocales) {
        if (name == language) return locale;
    }
    return "en";
}
