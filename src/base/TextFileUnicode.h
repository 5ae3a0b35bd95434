#pragma once

#include <string>
#include <string_view>

// Conversions between the text forms kelto meets: UTF-8 (std::string, the "ANSI code page"
// here), UTF-16 (text files with a 16-bit encoding) and wide strings (UTF-32 on Linux).
// Whatever cannot be converted becomes U+FFFD, and *replaced (when given) is set to true:
// invalid or truncated UTF-8, overlong forms, encoded surrogates, unpaired surrogates and
// values beyond U+10FFFF.

static_assert(sizeof(wchar_t) == 4, "wide strings are expected to hold whole code points");

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::wstring Utf8ToWide(std::string_view text, bool* replaced = nullptr);
std::string WideToUtf8(std::wstring_view text, bool* replaced = nullptr);
std::wstring Utf16ToWide(std::u16string_view text, bool* replaced = nullptr);

// Appends one character; an invalid one is appended as U+FFFD (and *replaced set).
void AppendUtf8(std::string& out, char32_t character, bool* replaced = nullptr);
void AppendUtf16(std::u16string& out, char32_t character, bool* replaced = nullptr);

// Decodes the character that starts at text[pos] and advances pos past it. An invalid
// sequence gives U+FFFD and consumes only the bytes that belonged to it: a byte that cannot
// continue the sequence is left for the next call.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos, bool* replaced = nullptr);
