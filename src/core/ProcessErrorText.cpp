#include "core/ProcessErrorText.h"

#include <algorithm>
#include <array>
#include <string_view>
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

// One line of the output as it is reported, with what the banner test needs to know of it.
struct OutputLine {
    std::string text;
    bool indented = false;    // began with a blank (FFmpeg's build details do)
    bool afterBlank = false;  // an empty line came before it: a new paragraph
};

// ASCII case folding only: what a line means must not depend on the locale.
std::string Lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool Mentions(const std::string& line, const auto& words) {
    const std::string lower = Lowered(line);
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
        return lower.find(word) != std::string::npos;
    });
}

bool IsErrorLine(const std::string& line) {
    static constexpr std::array<std::string_view, 12> kWords = {
        "error",  "cannot",  "can't",   "could not",   "couldn't",      "unable",
        "failed", "failure", "invalid", "unsupported", "not supported", "no such"};
    return Mentions(line, kWords);
}

bool IsBannerLine(const std::string& line) {
    static constexpr std::array<std::string_view, 8> kWords = {
        "copyright", "(c)",     "warranty",     "free software",
        "licence",   "license", "redistribute", "all rights reserved"};
    return Mentions(line, kWords);
}

// "1.4.2", "Version 5.6.0": a digit, a point and a digit.
bool NamesAVersion(const std::string& line) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 1; i + 1 < line.size(); ++i) {
        if (line[i] == '.' && isDigit(line[i - 1]) && isDigit(line[i + 1])) return true;
    }
    return false;
}

// The number of lines at the start that are the program's banner: the first paragraph up to its
// last copyright or licence line, with the program's name and version in a line or two before
// it and indented details after it. A banner names no error.
std::size_t BannerLength(const std::vector<OutputLine>& lines) {
    constexpr std::size_t kNameLines = 2;
    std::size_t length = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const OutputLine& line = lines[i];
        if ((i > 0 && line.afterBlank) || IsErrorLine(line.text)) break;
        if (IsBannerLine(line.text) || (length > 0 && line.indented)) {
            length = i + 1;
        } else if (length > 0 || i >= kNameLines || !NamesAVersion(line.text)) {
            break;
        }
    }
    return length;
}

std::vector<OutputLine> SplitLines(const std::string& tail, bool whole) {
    std::size_t begin = 0;
    if (!whole) {
        const std::size_t cut = tail.find_first_of("\r\n");
        begin = cut == std::string::npos ? 0 : cut + 1;
        while (begin < tail.size() && IsContinuationByte(tail[begin])) ++begin;
    }
    std::vector<OutputLine> lines;
    bool blankBefore = false;
    while (begin < tail.size()) {
        std::size_t end = tail.find('\n', begin);
        if (end == std::string::npos) end = tail.size();
        std::string line = tail.substr(begin, end - begin);
        begin = end + 1;
        // "progress...\r" as much as "\rprogress": the last text between carriage returns.
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        const std::size_t lastReturn = line.rfind('\r');
        if (lastReturn != std::string::npos) line.erase(0, lastReturn + 1);
        line = WithoutControls(line);
        const bool indented = !line.empty() && line.front() == ' ';
        line = TrimBlanks(line);
        if (line.empty()) {
            blankBefore = true;
            continue;
        }
        // Some programs say the same thing twice (lame does); once is enough.
        if (lines.empty() || lines.back().text != line) {
            lines.push_back({line, indented, blankBefore});
        }
        blankBefore = false;
    }
    return lines;
}

}  // namespace

std::string ProcessErrorText(const std::string& tail, bool whole) {
    const std::vector<OutputLine> lines = SplitLines(tail, whole);
    const std::size_t afterBanner = whole ? BannerLength(lines) : 0;
    const auto error =
        std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(afterBanner), lines.end(),
                     [](const OutputLine& line) { return IsErrorLine(line.text); });
    std::size_t first = static_cast<std::size_t>(error - lines.begin());
    if (error == lines.end()) {
        first = std::max(afterBanner, lines.size() > kErrorLines ? lines.size() - kErrorLines : 0);
    }
    std::string text;
    for (std::size_t i = first; i < lines.size() && i < first + kErrorLines; ++i) {
        if (!text.empty()) text += '\n';
        text += Shortened(lines[i].text);
    }
    return text;
}
