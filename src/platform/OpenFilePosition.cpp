#include "platform/OpenFilePosition.h"

#include "platform/SmallFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// The "pos:" line of one descriptor's fdinfo; -1 when it cannot be read.
std::int64_t ReadPosition(const std::string& fdinfoPath) {
    std::string text;
    if (!ReadSmallFile(fdinfoPath, &text)) return -1;
    const auto at = text.find("pos:");
    if (at == std::string::npos) return -1;
    const char* start = text.c_str() + at + 4;
    char* end = nullptr;
    const long long position = std::strtoll(start, &end, 10);
    return end == start ? -1 : static_cast<std::int64_t>(position);
}

}  // namespace

FileIdentity IdentifyFile(const std::string& path) {
    FileIdentity identity;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return identity;
    identity.valid = true;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::int64_t>(info.st_size);
    return identity;
}

std::int64_t OpenFilePosition(int pid, const std::string& path) {
    return OpenFilePosition(pid, IdentifyFile(path));
}

std::int64_t OpenFilePosition(int pid, const FileIdentity& file) {
    if (pid <= 0 || !file.valid) return -1;
    const std::string process = "/proc/" + std::to_string(pid);
    DIR* folder = ::opendir((process + "/fd").c_str());
    if (folder == nullptr) return -1;
    std::int64_t best = -1;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        struct stat held {};
        // stat follows the descriptor's link to the open file itself, renamed or not.
        if (::fstatat(::dirfd(folder), entry->d_name, &held, 0) != 0) continue;
        if (static_cast<std::uint64_t>(held.st_dev) != file.device ||
            static_cast<std::uint64_t>(held.st_ino) != file.inode)
            continue;
        const std::int64_t position = ReadPosition(process + "/fdinfo/" + entry->d_name);
        if (position > best) best = position;
    }
    ::closedir(folder);
    return best;
}

}  // namespace platform
