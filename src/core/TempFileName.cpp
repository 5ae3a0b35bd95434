#include "core/TempFileName.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <numeric>
#include <random>
#include <unordered_map>
#include <vector>

#include "platform/File.h"
#include "platform/FileIdentity.h"

namespace {

constexpr std::size_t kShortNameCount = 0x10000;
// Draws of eight-digit names before giving up; with 2^32 of them a miss is a freak already.
constexpr int kLongNameAttempts = 64;

// The four-digit names of one folder and extension. They are drawn in a random order without
// repeats (a shuffle done step by step), so no call ever walks the space: once the order is
// used up, names given back are tried oldest first, and then eight-digit names take over.
struct ShortNames {
    std::vector<std::uint16_t> order;
    std::size_t drawn = 0;
    std::deque<std::uint16_t> returned;
};

struct HeldName {
    ShortNames* space = nullptr;  // null for an eight-digit name
    std::uint16_t number = 0;
};

struct Registry {
    std::mutex mutex;
    // Node-based, so the pointers in held stay valid.
    std::unordered_map<std::string, ShortNames> spaces;
    std::unordered_map<std::string, HeldName> held;
    std::mt19937 random{std::random_device{}()};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string MarkerOf(const std::string& name) { return name + ".lock"; }

enum class Reservation { Made, Taken, Impossible };

// The marker is what other processes see of our reservation; creating it exclusively is what
// settles a race between two of them. Impossible is a failure that no other name would escape
// (no permission, read-only or full file system).
Reservation Reserve(const std::string& name, std::string* whyNot) {
    if (platform::EntryExists(name)) return Reservation::Taken;
    platform::File marker = platform::File::CreateNew(MarkerOf(name));
    if (marker.IsOpen()) return Reservation::Made;
    if (marker.LastError().code == EEXIST) return Reservation::Taken;
    if (whyNot) *whyNot = marker.LastError().text;
    return Reservation::Impossible;
}

class CNamer {
public:
    CNamer(Registry& registry, const std::string& folder, const std::string& extension,
           std::string* whyNot)
        : m_registry(registry), m_extension(extension), m_whyNot(whyNot) {
        m_prefix = folder;
        if (m_prefix.back() != '/') m_prefix += '/';
        m_prefix += "kel";
    }

    std::string Make() {
        ShortNames& space = Space();
        while (space.drawn < space.order.size()) {
            const std::size_t pick = std::uniform_int_distribution<std::size_t>(
                space.drawn, space.order.size() - 1)(m_registry.random);
            std::swap(space.order[space.drawn], space.order[pick]);
            const std::uint16_t number = space.order[space.drawn++];
            if (TryShort(space, number)) return m_name;
            if (m_impossible) return {};
        }
        while (!space.returned.empty()) {
            const std::uint16_t number = space.returned.front();
            space.returned.pop_front();
            if (TryShort(space, number)) return m_name;
            if (m_impossible) return {};
        }
        for (int attempt = 0; attempt < kLongNameAttempts; ++attempt) {
            char digits[12];
            std::snprintf(digits, sizeof digits, "%08X",
                          static_cast<unsigned>(m_registry.random() & 0xFFFFFFFFu));
            if (Try(m_prefix + digits + m_extension, {nullptr, 0})) return m_name;
            if (m_impossible) return {};
        }
        if (m_whyNot) *m_whyNot = "no free name is left";
        return {};
    }

private:
    ShortNames& Space() {
        auto [at, added] = m_registry.spaces.try_emplace(m_prefix + '\0' + m_extension);
        if (added) {
            at->second.order.resize(kShortNameCount);
            std::iota(at->second.order.begin(), at->second.order.end(), std::uint16_t{0});
        }
        return at->second;
    }

    bool TryShort(ShortNames& space, std::uint16_t number) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(number));
        if (Try(m_prefix + digits + m_extension, {&space, number})) return true;
        // A name we could not even try stays in the game for a later call.
        if (m_impossible) space.returned.push_front(number);
        return false;
    }

    bool Try(std::string name, HeldName how) {
        if (m_registry.held.count(name) != 0) return false;
        switch (Reserve(name, m_whyNot)) {
            case Reservation::Made:
                m_registry.held.emplace(name, how);
                m_name = std::move(name);
                return true;
            case Reservation::Taken:
                return false;
            case Reservation::Impossible:
                m_impossible = true;
                return false;
        }
        return false;
    }

    Registry& m_registry;
    std::string m_prefix;
    const std::string& m_extension;
    std::string* m_whyNot;
    std::string m_name;
    bool m_impossible = false;
};

}  // namespace

std::string MakeTempFileName(const std::string& folder, const std::string& extension,
                             std::string* whyNot) {
    if (folder.empty() || !platform::IsDirectory(folder)) {
        if (whyNot) *whyNot = "not an existing folder";
        return {};
    }
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return CNamer(registry, folder, extension, whyNot).Make();
}

bool ReleaseTempFileName(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto at = registry.held.find(name);
    if (at == registry.held.end()) return false;
    if (at->second.space) at->second.space->returned.push_back(at->second.number);
    registry.held.erase(at);
    platform::RemoveFile(MarkerOf(name));
    return true;
}

bool IsTempFileNameHeld(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.held.count(name) != 0;
}
