#pragma once

#include <string>
#include <string_view>

// The MediaInfo library speaks wchar_t (UTF-32 on Linux); kelto keeps UTF-8.
// Malformed UTF-8 becomes U+FFFD; code points that are not characters (surrogates, values
// above U+10FFFF) become U+FFFD on the way back.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
