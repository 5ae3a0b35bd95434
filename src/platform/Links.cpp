#include "platform/Links.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace platform {

EntryKind GetEntryKind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return EntryKind::Missing;
    if (S_ISLNK(info.st_mode)) return EntryKind::Link;
    if (S_ISDIR(info.st_mode)) return EntryKind::Directory;
    if (S_ISREG(info.st_mode)) return EntryKind::Regular;
    return EntryKind::Other;
}

unsigned GetPermissionBits(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777u : 0u;
}

bool ReadLink(const std::string& path, std::string* target) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target->assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool SetLink(const std::string& target, const std::string& path, Error* error) {
    if (GetEntryKind(path) == EntryKind::Directory) {
        if (error) *error = Error::FromErrno(EISDIR);
        return false;
    }
    // Made under a name of its own beside path, then renamed over it, so that path is never
    // missing for another process that looks at the same moment.
    const std::string temporary = path + ".kelto-link-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        if (error) *error = Error::FromErrno(code);
        return false;
    }
    return true;
}

namespace {

int RemoveEntry(const char* path, const struct stat*, int type, struct FTW*) {
    const int result = type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    return result == 0 ? 0 : errno;
}

}  // namespace

bool RemoveTree(const std::string& path, Error* error) {
    const EntryKind kind = GetEntryKind(path);
    if (kind == EntryKind::Missing) return true;
    int code = 0;
    if (kind == EntryKind::Directory) {
        const int result = ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        code = result == 0 ? 0 : (result > 0 ? result : errno);
    } else if (::unlink(path.c_str()) != 0) {
        code = errno;
    }
    if (code != 0 && error) *error = Error::FromErrno(code);
    return code == 0;
}

}  // namespace platform
