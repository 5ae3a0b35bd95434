#pragma once

#include <string>

// ASCII-only case folding: file extensions, INI keys and option words compare this way, so
// the result never depends on the locale and UTF-8 bytes pass through unchanged.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}
