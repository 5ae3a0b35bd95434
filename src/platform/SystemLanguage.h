#pragma once

#include <cstdint>
#include <string>

namespace platform {

// English (United States), the answer for C, POSIX, no locale and unknown languages.
inline constexpr std::uint16_t kLanguageIdEnglishUS = 0x0409;

// The Windows language identifier (primary language | sublanguage << 10) of a locale name
// such as "fr_CA.UTF-8" or "de_AT@euro"; the encoding and modifier are ignored. A known
// language with an unknown or no region gets the language's usual identifier.
std::uint16_t LanguageIdFromLocale(const std::string& locale);

// The locale that decides the messages' language: the first non-empty of LC_ALL,
// LC_MESSAGES and LANG; empty when none is set.
std::string MessagesLocale();

// LanguageIdFromLocale(MessagesLocale()).
std::uint16_t SystemLanguageId();

}  // namespace platform
