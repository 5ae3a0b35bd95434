#include "core/CommandLine.h"

#include <cstddef>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    // 0 outside quotes, 1 inside; runs of quotes are counted as in the Windows parser.
    int quoteCount = 0;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (IsBlank(c) && quoteCount == 0) {
            if (inArgument) args.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < n && line[i] == '\\') {
                ++run;
                ++i;
            }
            if (i < n && line[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            ++quoteCount;
            ++i;
            while (i < n && line[i] == '"') {
                if (++quoteCount == 3) {
                    current.push_back('"');
                    quoteCount = 0;
                }
                ++i;
            }
            if (quoteCount == 2) quoteCount = 0;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    if (inArgument) args.push_back(std::move(current));
    return args;
}

std::string QuoteCommandLineArgument(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    // Backslashes before the closing quote are doubled so that it still closes.
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}
