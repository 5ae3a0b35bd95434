#include "base/TextFileUnicode.h"

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && !IsSurrogate(c); }

char32_t Replace(bool* replaced) {
    if (replaced) *replaced = true;
    return kReplacementCharacter;
}

// Number of bytes of the sequence a lead byte opens, or 0 when it cannot open one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;  // C0 and C1 only start overlong forms
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;  // F5 and up lie beyond U+10FFFF
    return 0;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t& pos, bool* replaced) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    const int length = SequenceLength(lead);
    if (length == 1) return lead;
    if (length == 0) return Replace(replaced);
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            return Replace(replaced);
        }
        c = (c << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || !IsScalarValue(c)) return Replace(replaced);
    return c;
}

void AppendUtf8(std::string& out, char32_t c, bool* replaced) {
    if (!IsScalarValue(c)) c = Replace(replaced);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c, bool* replaced) {
    if (!IsScalarValue(c)) c = Replace(replaced);
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

std::wstring Utf8ToWide(std::string_view text, bool* replaced) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        out += static_cast<wchar_t>(DecodeUtf8(text, pos, replaced));
    }
    return out;
}

std::string WideToUtf8(std::wstring_view text, bool* replaced) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text) AppendUtf8(out, static_cast<char32_t>(c), replaced);
    return out;
}

std::wstring Utf16ToWide(std::u16string_view text, bool* replaced) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t low = text[++i];
            out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsSurrogate(unit)) {
            out += static_cast<wchar_t>(Replace(replaced));
        } else {
            out += static_cast<wchar_t>(unit);
        }
    }
    return out;
}
