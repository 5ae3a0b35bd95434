#include "platform/SiblingTempFile.h"

#include <cerrno>
#include <cstdio>
#include <random>

namespace platform {

namespace {

std::string RandomSuffix() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    char text[16];
    std::snprintf(text, sizeof(text), "%08x", static_cast<unsigned>(generator()));
    return text;
}

}  // namespace

File CreateSiblingTempFile(const std::string& path, std::string& tempPath) {
    constexpr int kAttempts = 100;
    File file;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string candidate = path + ".kelto-" + RandomSuffix();
        file = File::CreateNew(candidate);
        if (file.IsOpen()) {
            tempPath = candidate;
            return file;
        }
        if (file.LastError().code != EEXIST) break;
    }
    tempPath.clear();
    return file;
}

std::string ReplacementTarget(const std::string& path) {
    const std::string real = RealPath(path);
    return real.empty() ? path : real;
}

}  // namespace platform
