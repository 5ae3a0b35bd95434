#include "base/FileSize.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Scaled(std::int64_t value, int decimals) {
    static const char* const kUnits[] = {" B", " KB", " MB", " GB", " TB", " PB", " EB"};
    double x = static_cast<double>(value);
    std::size_t level = 0;
    while (x > 1024.0 && level + 1 < std::size(kUnits)) {
        x /= 1024.0;
        ++level;
    }
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 60), x);
    std::string result = text;
    std::replace(result.begin(), result.end(), '.', ',');
    return result + kUnits[level];
}

std::string Exact(std::int64_t value) {
    std::string digits = std::to_string(value);
    const std::size_t first = digits[0] == '-' ? 1 : 0;
    for (std::size_t pos = digits.size(); pos > first + 3;) {
        pos -= 3;
        digits.insert(pos, 1, ' ');
    }
    return digits + " B";
}

}  // namespace

std::string FormatFileSize(std::int64_t value, int mode, int decimals) {
    if (mode == 0) return Scaled(value, decimals);
    if (mode == 1) return Exact(value);
    return {};
}
