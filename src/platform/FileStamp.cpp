#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace platform {

bool ReadFileStamp(const std::string& path, FileStamp* stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp->Size = static_cast<std::int64_t>(info.st_size);
    stamp->ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                        static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return true;
}

}  // namespace platform
