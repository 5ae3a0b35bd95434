// The reduction of a program's standard error to a report line, on arbitrary output. The first
// byte says whether the rest is the whole output or only its tail. Checks: at most three lines,
// none empty, none longer than its cut, no control character but the line breaks, no blank at
// either end of a line, and text that was valid UTF-8 stays valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/ProcessErrorText.h"

namespace {

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool whole = (data[0] & 1) != 0;
    const std::string tail(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = ProcessErrorText(tail, whole);

    std::size_t lines = 0;
    for (std::size_t begin = 0; begin <= text.size() && !text.empty();) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        ++lines;
        if (line.empty() || line.size() > 303) std::abort();
        if (line.front() == ' ' || line.back() == ' ') std::abort();
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) std::abort();
        }
        begin = end + 1;
    }
    if (lines > 3) std::abort();
    if (IsValidUtf8(tail) && !IsValidUtf8(text)) std::abort();
    return 0;
}
