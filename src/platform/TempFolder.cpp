#include "platform/TempFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

namespace {

constexpr const char* kFallbackFolder = "/tmp";

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

bool IsWritableFolder(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    // access() also answers for a read-only mount, where root's permissions do not help.
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::string TemporaryFolder() {
    const char* value = std::getenv("TMPDIR");
    // A relative TMPDIR would name another folder after every change of the working folder,
    // and the codec programs would have to agree with kelto on which one.
    if (value == nullptr || value[0] != '/') return kFallbackFolder;
    std::string folder = WithoutTrailingSlashes(value);
    return IsWritableFolder(folder) ? folder : kFallbackFolder;
}

}  // namespace platform
