#include "session/OutputNames.h"

#include "fileinfo/FileInfo.h"

std::string NumberedOutputName(const std::string& path, int number) {
    const std::size_t at = path.size() - PathExtension(path).size();
    return path.substr(0, at) + " (" + std::to_string(number) + ")" + path.substr(at);
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
