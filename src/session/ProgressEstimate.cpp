#include "session/ProgressEstimate.h"

#include <cstdio>

namespace {

constexpr std::int64_t k100nsPerSecond = 10'000'000;

}  // namespace

double RunPercent(const CCore::RunProgress& progress) {
    if (progress.TotalBytes <= 0) return 0.0;
    return 100.0 * static_cast<double>(progress.DoneBytes) /
           static_cast<double>(progress.TotalBytes);
}

std::int64_t EstimateSecondsLeft(const CCore::RunProgress& progress) {
    if (progress.DoneBytes <= 0 || progress.TotalBytes <= 0) return -1;
    if (progress.Elapsed100ns < k100nsPerSecond) return -1;
    const double elapsed = static_cast<double>(progress.Elapsed100ns) / k100nsPerSecond;
    const double rest = static_cast<double>(progress.TotalBytes - progress.DoneBytes);
    return static_cast<std::int64_t>(elapsed * rest / static_cast<double>(progress.DoneBytes) + 0.5);
}

std::string FormatDuration(std::int64_t seconds) {
    if (seconds < 0) return "?";
    char text[32];
    const long long hours = seconds / 3600;
    const int minutes = static_cast<int>(seconds / 60 % 60);
    const int rest = static_cast<int>(seconds % 60);
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld:%02d:%02d", hours, minutes, rest);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", minutes, rest);
    }
    return text;
}
