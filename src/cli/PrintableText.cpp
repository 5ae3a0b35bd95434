#include "cli/PrintableText.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string PrintableText(const std::string& text) {
    if (std::none_of(text.begin(), text.end(), IsControl)) return text;
    // Each character of kEscaped is written as a backslash and the letter below it.
    constexpr std::string_view kEscaped = "\\\"\n\r\t";
    constexpr std::string_view kLetters = "\\\"nrt";
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (const auto at = kEscaped.find(c); at != std::string_view::npos) {
            quoted += '\\';
            quoted += kLetters[at];
        } else if (IsControl(c)) {
            quoted +=
                {'\\', static_cast<char>('0' + (byte >> 6)),
                 static_cast<char>('0' + ((byte >> 3) & 7)), static_cast<char>('0' + (byte & 7))};
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}
