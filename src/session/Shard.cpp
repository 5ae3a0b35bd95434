#include "session/Shard.h"

#include <charconv>
#include <cstdint>

#include "base/Paths.h"

namespace {

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

}  // namespace

bool CShard::Parse(const std::string& text, CShard& shard, std::string& error) {
    const std::size_t slash = text.find('/');
    int index = 0;
    int count = 0;
    if (slash == std::string::npos || !ParseNumber(text.substr(0, slash), index) ||
        !ParseNumber(text.substr(slash + 1), count) || count < 1 || index < 1 || index > count) {
        error = "--shard takes K/N with K from 1 to N, not '" + text + "'";
        return false;
    }
    shard.m_index = index;
    shard.m_count = count;
    return true;
}

int CShard::ShareOf(const std::string& relative, int count) {
    // FNV-1a, then mixed (the final step of splitmix64) so that its low bits are spread too:
    // the same on every machine, whatever its standard library.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : relative) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    hash ^= hash >> 30;
    hash *= 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 27;
    hash *= 0x94d049bb133111ebULL;
    hash ^= hash >> 31;
    return static_cast<int>(hash % static_cast<std::uint64_t>(count)) + 1;
}

bool CShard::Holds(const std::string& path, const std::string& base) const {
    if (IsWhole()) return true;
    std::string relative = PathFileName(path);
    std::string folder = base;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const bool root = folder == "/";
    if (root) folder.clear();  // every path is below the root, after its first "/"
    if ((root || !folder.empty()) && path.size() > folder.size() + 1 &&
        path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/') {
        relative = path.substr(folder.size() + 1);
    }
    return ShareOf(relative, m_count) == m_index;
}
