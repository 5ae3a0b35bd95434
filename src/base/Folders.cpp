#include "base/Folders.h"

#include "platform/Directory.h"
#include "platform/ReadableFile.h"

namespace {

// Lists the entries of folder matching pattern and keeps those for which keep(attributes)
// holds, each as folder + "/" + name.
template <class Keep>
bool ListEntries(const std::string& folder, const std::string& pattern,
                 std::vector<std::string>& out, platform::Error* error, Keep keep) {
    out.clear();
    std::vector<platform::DirectoryEntry> entries;
    if (!platform::ListDirectory(folder, pattern, entries, error) || entries.empty()) return false;
    const std::string prefix = TrailingSeparator(folder, true);
    for (const auto& entry : entries) {
        if (keep(entry.attributes)) out.push_back(prefix + entry.name);
    }
    return true;
}

}  // namespace

bool ListSubfolders(const std::string& folder, const std::string& pattern,
                    std::vector<std::string>& out, platform::Error* error) {
    return ListEntries(folder, pattern, out, error, [](std::uint32_t attributes) {
        return attributes == platform::kAttributeDirectory;
    });
}

bool ListFiles(const std::string& folder, const std::string& pattern, std::vector<std::string>& out,
               platform::Error* error) {
    return ListEntries(folder, pattern, out, error, [](std::uint32_t attributes) {
        return attributes != platform::kAttributeDirectory;
    });
}

std::string TrailingSeparator(const std::string& path, bool flag) {
    if (!flag) {
        if (!path.empty() && path.back() == '/') return path.substr(0, path.size() - 1);
        return path;
    }
    if (path.empty()) return path;
    std::string result;
    result.reserve(path.size() + 1);
    for (const char c : path) {
        if (c == '/' && !result.empty() && result.back() == '/') continue;
        result += c;
    }
    if (result.back() != '/') result += '/';
    return result;
}

bool FileExists(const std::string& path) { return platform::IsReadableFile(path); }
