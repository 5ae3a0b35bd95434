#include "platform/MakeFolders.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Fail(int code, Error* error) {
    if (error) *error = Error::FromErrno(code);
    return false;
}

}  // namespace

bool MakeFolders(const std::string& path, Error* error) {
    if (path.empty()) return Fail(ENOENT, error);
    // Most calls find the folder made already (every file of a batch into one output folder).
    if (IsFolder(path)) return true;
    // Each prefix that ends before a "/" is a folder to have, then the whole path.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!prefix.empty() && prefix.back() != '/' && !IsFolder(prefix)) {
            // Another process may make it between the test and mkdir; that is no failure.
            if (::mkdir(prefix.c_str(), 0777) != 0) {
                const int code = errno;
                if (!(code == EEXIST && IsFolder(prefix))) return Fail(code, error);
            }
        }
        if (end == std::string::npos) return true;
    }
}

}  // namespace platform
