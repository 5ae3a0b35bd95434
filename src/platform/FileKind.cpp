#include "platform/FileKind.h"

#include <sys/stat.h>

namespace platform {

FileKind GetFileKind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return FileKind::Missing;
    if (S_ISREG(info.st_mode)) return FileKind::Regular;
    if (S_ISDIR(info.st_mode)) return FileKind::Directory;
    return FileKind::Other;
}

}  // namespace platform
