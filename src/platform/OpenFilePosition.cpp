#include "platform/OpenFilePosition.h"

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
    const int fd = ::open(fdinfoPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char buffer[256];
    ssize_t n;
    do {
        n = ::read(fd, buffer, sizeof buffer - 1);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0) return -1;
    buffer[n] = '\0';
    const char* at = std::strstr(buffer, "pos:");
    if (at == nullptr) return -1;
    char* end = nullptr;
    const long long position = std::strtoll(at + 4, &end, 10);
    return end == at + 4 ? -1 : static_cast<std::int64_t>(position);
}

}  // namespace

std::int64_t OpenFilePosition(int pid, const std::string& path) {
    if (pid <= 0) return -1;
    struct stat wanted {};
    if (::stat(path.c_str(), &wanted) != 0) return -1;
    const std::string process = "/proc/" + std::to_string(pid);
    DIR* folder = ::opendir((process + "/fd").c_str());
    if (folder == nullptr) return -1;
    std::int64_t best = -1;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        struct stat held {};
        // stat follows the descriptor's link to the open file itself, renamed or not.
        if (::fstatat(::dirfd(folder), entry->d_name, &held, 0) != 0) continue;
        if (held.st_dev != wanted.st_dev || held.st_ino != wanted.st_ino) continue;
        const std::int64_t position = ReadPosition(process + "/fdinfo/" + entry->d_name);
        if (position > best) best = position;
    }
    ::closedir(folder);
    return best;
}

}  // namespace platform
