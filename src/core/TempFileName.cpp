#include "core/TempFileName.h"

#include <cstdio>
#include <mutex>
#include <random>
#include <unordered_set>

#include "platform/File.h"
#include "platform/FileIdentity.h"

namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_set<std::string> names;
    std::mt19937 random{std::random_device{}()};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string NameFor(const std::string& folder, unsigned number, const std::string& extension) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", number & 0xFFFFu);
    std::string name = folder;
    if (name.empty() || name.back() != '/') name += '/';
    return name + "kel" + digits + extension;
}

std::string MarkerOf(const std::string& name) { return name + ".lock"; }

// The marker is what other processes see of our reservation; creating it exclusively is what
// settles a race between two of them.
bool Reserve(const std::string& name) {
    if (platform::EntryExists(name)) return false;
    platform::File marker = platform::File::CreateNew(MarkerOf(name));
    return marker.IsOpen();
}

}  // namespace

std::string MakeTempFileName(const std::string& folder, const std::string& extension) {
    if (folder.empty() || !platform::IsDirectory(folder)) return {};
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto isFree = [&](const std::string& name) {
        return registry.names.count(name) == 0 && Reserve(name);
    };
    // Random draws find a free name quickly while most are free; the walk that follows them
    // ends after every name was tried.
    for (int attempt = 0; attempt < 64; ++attempt) {
        auto name = NameFor(folder, registry.random(), extension);
        if (isFree(name)) return *registry.names.insert(std::move(name)).first;
    }
    const unsigned start = registry.random();
    for (unsigned offset = 0; offset < 0x10000u; ++offset) {
        auto name = NameFor(folder, start + offset, extension);
        if (isFree(name)) return *registry.names.insert(std::move(name)).first;
    }
    return {};
}

bool ReleaseTempFileName(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (registry.names.erase(name) == 0) return false;
    platform::RemoveFile(MarkerOf(name));
    return true;
}

bool IsTempFileNameHeld(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.names.count(name) != 0;
}
