#include "core/ProcessErrorText.h"

#include <vector>

namespace {

constexpr std::size_t kErrorLines = 3;
constexpr std::size_t kErrorLineBytes = 300;

std::string TrimBlanks(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Drops terminal controls: colour and cursor sequences (lame clears each line with ESC [ K)
// and any other control character, which becomes a blank.
std::string WithoutControls(const std::string& line) {
    std::string text;
    text.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c == 0x1B) {
            const char next = i + 1 < line.size() ? line[i + 1] : '\0';
            if (next == '[') {
                // Parameters up to the final byte; a character of text is never cut in two.
                i += 2;
                while (i < line.size() && (static_cast<unsigned char>(line[i]) < 0x40 ||
                                           static_cast<unsigned char>(line[i]) > 0x7E)) {
                    ++i;
                }
            } else if (next >= 0x20 && next <= 0x7E) {
                ++i;  // a two-byte sequence such as ESC 7
            }
        } else if (c < 0x20 || c == 0x7F) {
            text += ' ';
        } else {
            text += line[i];
        }
    }
    return text;
}

// A line too long for a report keeps its beginning, where programs name the file and the error.
std::string Shortened(std::string line) {
    if (line.size() <= kErrorLineBytes) return line;
    std::size_t end = kErrorLineBytes;
    while (end > 0 && IsContinuationByte(line[end])) --end;
    line.resize(end);
    return TrimBlanks(line) + "...";
}

}  // namespace

std::string LastErrorLines(const std::string& tail, bool whole) {
    std::size_t begin = 0;
    if (!whole) {
        const std::size_t cut = tail.find_first_of("\r\n");
        begin = cut == std::string::npos ? 0 : cut + 1;
        while (begin < tail.size() && IsContinuationByte(tail[begin])) ++begin;
    }
    std::vector<std::string> lines;
    while (begin < tail.size()) {
        std::size_t end = tail.find('\n', begin);
        if (end == std::string::npos) end = tail.size();
        std::string line = tail.substr(begin, end - begin);
        begin = end + 1;
        // "progress...\r" as much as "\rprogress": the last text between carriage returns.
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        const std::size_t lastReturn = line.rfind('\r');
        if (lastReturn != std::string::npos) line.erase(0, lastReturn + 1);
        line = TrimBlanks(WithoutControls(line));
        // Some programs say the same thing twice (lame does); once is enough.
        if (!line.empty() && (lines.empty() || lines.back() != line)) lines.push_back(line);
    }
    const std::size_t first = lines.size() > kErrorLines ? lines.size() - kErrorLines : 0;
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (!text.empty()) text += '\n';
        text += Shortened(lines[i]);
    }
    return text;
}
