#include "core/NameBlockMarker.h"

namespace {

constexpr char kHeader[] = "kelto names 1\n";
constexpr std::size_t kHeaderSize = sizeof kHeader - 1;
constexpr std::size_t kNames = 256;

}  // namespace

bool CNameBlockMarker::Create(const std::string& path, platform::Error* error) {
    platform::LockFile file = platform::LockFile::Create(path, error);
    if (!file.IsHeld()) return false;
    // Written in full before it is mapped: a store into the mapping never has to find room
    // for its page on a full file system.
    char* map = nullptr;
    if (!file.Append(kHeader + std::string(kNames, '-'), error) ||
        (map = file.MapShared(kHeaderSize + kNames, error)) == nullptr) {
        file.Remove();
        return false;
    }
    m_file = std::move(file);
    m_names = map + kHeaderSize;
    return true;
}

void CNameBlockMarker::SetHandedOut(std::uint8_t last, bool handedOut) {
    if (m_names != nullptr) m_names[last] = handedOut ? '+' : '-';
}

void CNameBlockMarker::Remove() {
    m_names = nullptr;
    if (m_file.IsHeld()) m_file.Remove();
}

bool CNameBlockMarker::HandedOut(const std::string& text, std::vector<std::uint8_t>* lasts) {
    if (text.size() != kHeaderSize + kNames || text.compare(0, kHeaderSize, kHeader) != 0) {
        return false;
    }
    lasts->clear();
    for (std::size_t i = 0; i < kNames; ++i) {
        if (text[kHeaderSize + i] == '+') lasts->push_back(static_cast<std::uint8_t>(i));
    }
    return true;
}
