#include "core/TempFileName.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <numeric>
#include <random>
#include <unordered_map>
#include <vector>

#include "core/NameBlockMarker.h"
#include "core/StaleFiles.h"
#include "platform/Directory.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"

namespace {

// Names are reserved a block at a time: one marker file stands for the 256 names that share
// every digit but the last two, so a library of 100,000 files creates a few hundred markers
// instead of one per file. Four-digit names form 256 blocks; eight-digit blocks are drawn at
// random from 2^24.
constexpr std::uint32_t kShortBlockCount = 0x100;
constexpr std::uint32_t kLongBlock = 0x80000000u;  // flag on a block key: eight-digit names
// Draws of eight-digit blocks before giving up; with 2^24 of them a miss is a freak already.
constexpr int kLongBlockAttempts = 64;

struct Block {
    CNameBlockMarker marker;
    int held = 0;
    std::deque<std::uint8_t> free;  // last two digits not handed out yet, then those given back
    bool open = true;               // listed in Space::open
};

// The names of one folder and extension.
struct Space {
    std::vector<std::uint8_t> order;  // four-digit blocks, drawn in a random order without repeats
    std::size_t drawn = 0;
    std::deque<std::uint8_t> returned;  // four-digit blocks given up again, oldest first
    std::unordered_map<std::uint32_t, Block> owned;
    std::vector<std::uint32_t> open;  // owned blocks that may still have a free name
};

struct HeldName {
    Space* space = nullptr;
    std::uint32_t block = 0;
    std::uint8_t last = 0;
};

struct Registry {
    std::mutex mutex;
    // Node-based, so the pointers in held stay valid.
    std::unordered_map<std::string, Space> spaces;
    std::unordered_map<std::string, HeldName> held;
    std::mt19937 random{std::random_device{}()};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string BlockDigits(std::uint32_t block) {
    char digits[12];
    if (block & kLongBlock)
        std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(block & 0xFFFFFFu));
    else
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(block));
    return digits;
}

std::string LastDigits(std::uint8_t last) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(last));
    return digits;
}

constexpr char kMarkerMiddle[] = "__";
constexpr char kMarkerEnd[] = ".lock";

// "kel3F__.wav.lock" for the block whose names are "kel3F" + two digits + ".wav".
std::string MarkerName(const std::string& stem, const std::string& extension) {
    return stem + kMarkerMiddle + extension + kMarkerEnd;
}

bool IsUpperHex(const std::string& text, std::size_t begin, std::size_t count) {
    if (text.size() < begin + count) return false;
    for (std::size_t i = begin; i < begin + count; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
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
        Space& space = TheSpace();
        for (;;) {
            while (!space.open.empty()) {
                const std::uint32_t key = space.open.back();
                Block& block = space.owned.at(key);
                if (std::string name = TakeFree(space, key, block); !name.empty()) return name;
                space.open.pop_back();
                block.open = false;
                // Every name of it is on disk already: give the block up, but do not queue it
                // for another draw, or this loop would claim it again and again.
                if (block.held == 0) Drop(space, key, false);
            }
            if (!Claim(space)) return {};
        }
    }

private:
    Space& TheSpace() {
        auto [at, added] = m_registry.spaces.try_emplace(m_prefix + '\0' + m_extension);
        if (added) {
            at->second.order.resize(kShortBlockCount);
            std::iota(at->second.order.begin(), at->second.order.end(), std::uint8_t{0});
        }
        return at->second;
    }

    // A free name of an owned block. A name is free when no entry of it exists (a dangling
    // link counts) and no marker of an older kelto, which reserved names one at a time,
    // stands beside it.
    std::string TakeFree(Space& space, std::uint32_t key, Block& block) {
        const std::string stem = m_prefix + BlockDigits(key);
        while (!block.free.empty()) {
            const std::uint8_t last = block.free.front();
            block.free.pop_front();
            std::string name = stem + LastDigits(last) + m_extension;
            if (m_registry.held.count(name) != 0) continue;
            if (platform::EntryExists(name) || platform::EntryExists(name + ".lock")) continue;
            block.marker.SetHandedOut(last, true);
            ++block.held;
            m_registry.held.emplace(name, HeldName{&space, key, last});
            return name;
        }
        return {};
    }

    bool Claim(Space& space) {
        while (space.drawn < space.order.size()) {
            const std::size_t pick = std::uniform_int_distribution<std::size_t>(
                space.drawn, space.order.size() - 1)(m_registry.random);
            std::swap(space.order[space.drawn], space.order[pick]);
            if (TryClaim(space, space.order[space.drawn++])) return true;
            if (m_impossible) return false;
        }
        while (!space.returned.empty()) {
            const std::uint8_t key = space.returned.front();
            space.returned.pop_front();
            if (TryClaim(space, key)) return true;
            if (m_impossible) {
                space.returned.push_front(key);  // not even tried: keep it for a later call
                return false;
            }
        }
        for (int attempt = 0; attempt < kLongBlockAttempts; ++attempt) {
            if (TryClaim(space, kLongBlock | (m_registry.random() & 0xFFFFFFu))) return true;
            if (m_impossible) return false;
        }
        if (m_whyNot) *m_whyNot = "no free name is left";
        return false;
    }

    // The marker is what other processes see of our reservation; creating it exclusively is
    // what settles a race between two of them. A failure other than "exists" (no permission,
    // read-only or full file system) no other name would escape.
    bool TryClaim(Space& space, std::uint32_t key) {
        if (space.owned.count(key) != 0) return false;
        Block block;
        platform::Error error;
        if (!block.marker.Create(MarkerName(m_prefix + BlockDigits(key), m_extension), &error)) {
            if (error.code == EEXIST) return false;
            if (m_whyNot) *m_whyNot = error.text;
            m_impossible = true;
            return false;
        }
        block.free.resize(256);
        std::iota(block.free.begin(), block.free.end(), std::uint8_t{0});
        std::shuffle(block.free.begin(), block.free.end(), m_registry.random);
        space.owned.emplace(key, std::move(block));
        space.open.push_back(key);
        return true;
    }

public:
    // Gives up an owned block and removes its marker; a four-digit block may be drawn again.
    static void Drop(Space& space, std::uint32_t key, bool mayReturn) {
        const auto at = space.owned.find(key);
        at->second.marker.Remove();
        if (at->second.open) space.open.erase(std::find(space.open.begin(), space.open.end(), key));
        space.owned.erase(at);
        if (mayReturn && !(key & kLongBlock)) space.returned.push_back(static_cast<std::uint8_t>(key));
    }

private:
    Registry& m_registry;
    std::string m_prefix;
    const std::string& m_extension;
    std::string* m_whyNot;
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
    const HeldName how = at->second;
    registry.held.erase(at);
    Block& block = how.space->owned.at(how.block);
    if (--block.held == 0) {
        CNamer::Drop(*how.space, how.block, true);
        return true;
    }
    block.marker.SetHandedOut(how.last, false);
    block.free.push_back(how.last);
    if (!block.open) {
        block.open = true;
        how.space->open.push_back(how.block);
    }
    return true;
}

bool IsTempFileNameHeld(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.held.count(name) != 0;
}

std::string TempFileNameMarker(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto at = registry.held.find(name);
    if (at == registry.held.end()) return {};
    return at->second.space->owned.at(at->second.block).marker.Path();
}

int RemoveStaleTempFiles(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    if (!platform::ListDirectory(folder, std::string("kel*") + kMarkerMiddle + "*" + kMarkerEnd,
                                 entries)) {
        return 0;
    }
    int removed = 0;
    for (const auto& entry : entries) {
        if (entry.attributes & (platform::kAttributeDirectory | platform::kAttributeLink)) continue;
        // "kel" + two or six digits + "__" + extension + ".lock"
        const std::string& marker = entry.name;
        const std::size_t middle = marker.find(kMarkerMiddle, 3);
        const std::size_t digits = middle - 3;
        if ((digits != 2 && digits != 6) || !IsUpperHex(marker, 3, digits)) continue;
        const std::string stem = marker.substr(0, middle);
        const std::size_t extensionAt = middle + sizeof kMarkerMiddle - 1;
        const std::string extension =
            marker.substr(extensionAt, marker.size() - (sizeof kMarkerEnd - 1) - extensionAt);
        auto read = [&](const std::string& text, std::vector<std::string>* names) {
            std::vector<std::uint8_t> lasts;
            if (!CNameBlockMarker::HandedOut(text, &lasts)) return false;
            for (std::uint8_t last : lasts) names->push_back(stem + LastDigits(last) + extension);
            return true;
        };
        removed += std::max(0, RemoveStaleFiles(folder, marker, read));
    }
    return removed;
}
