#include "session/OutputNames.h"

#include "base/Paths.h"

std::string NumberedOutputName(const std::string& path, int number) {
    const std::size_t at = path.size() - PathExtension(path).size();
    return path.substr(0, at) + " (" + std::to_string(number) + ")" + path.substr(at);
}

std::string UnfinishedOutputName(const std::string& path, int number) {
    // The longest file name Linux file systems take (NAME_MAX).
    constexpr std::size_t kLongestName = 255;
    const std::string extension = PathExtension(path);
    const std::string mark = ".kelto-new" + (number >= 2 ? std::to_string(number) : std::string());
    const std::string name = PathFileName(path);
    const std::string folder = path.substr(0, path.size() - name.size());
    if (mark.size() + extension.size() >= kLongestName) return {};
    std::string stem = name.substr(0, name.size() - extension.size());
    std::size_t room = kLongestName - mark.size() - extension.size();
    if (stem.size() > room) {
        // Cut where a character starts, never inside a UTF-8 sequence.
        while (room > 0 && (static_cast<unsigned char>(stem[room]) & 0xC0) == 0x80) --room;
        stem.resize(room);
    }
    return folder + stem + mark + extension;
}

std::string OwnOutputName(const std::string& path) {
    const std::string extension = PathExtension(path);
    const std::string stem = path.substr(0, path.size() - extension.size());
    const std::size_t mark = stem.rfind(".kelto-new");
    if (mark == std::string::npos || stem.find('/', mark) != std::string::npos) return path;
    const std::string number = stem.substr(mark + 10);
    if (number.find_first_not_of("0123456789") != std::string::npos) return path;
    return stem.substr(0, mark) + extension;
}

void COutputNames::Hold(const std::string& path) {
    if (!path.empty()) m_held.insert(path);
}

std::string COutputNames::Take(const std::string& path) {
    if (m_held.insert(path).second) return path;
    int& next = m_nextNumber.try_emplace(path, 2).first->second;
    for (;; ++next) {
        std::string candidate = NumberedOutputName(path, next);
        if (m_held.insert(candidate).second) {
            ++next;
            return candidate;
        }
    }
}
