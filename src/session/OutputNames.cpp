#include "session/OutputNames.h"

#include "base/Paths.h"

std::string NumberedOutputName(const std::string& path, int number) {
    const std::size_t at = path.size() - PathExtension(path).size();
    return path.substr(0, at) + " (" + std::to_string(number) + ")" + path.substr(at);
}

std::string UnfinishedOutputName(const std::string& path, int number) {
    // The longest file name Linux file systems take (NAME_MAX).
    constexpr std::size_t kLongestName = 255;
    const std::size_t at = path.size() - PathExtension(path).size();
    std::string name = path.substr(0, at) + ".kelto-new" +
                       (number >= 2 ? std::to_string(number) : std::string()) + path.substr(at);
    return PathFileName(name).size() <= kLongestName ? name : std::string();
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
