#include "base/Paths.h"

std::string PathFileName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    std::string folder = path.substr(0, slash);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.empty() ? "/" : folder;
}

std::string PathExtension(const std::string& path) {
    const std::string name = PathFileName(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    return path.substr(0, path.size() - PathExtension(path).size()) + extension;
}
