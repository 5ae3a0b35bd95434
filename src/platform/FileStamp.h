#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What tells a file's content changed without reading it: its size and its modification time.
struct FileStamp {
    std::int64_t Size = -1;
    std::int64_t ModifiedNs = 0;  // nanoseconds since the epoch

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path (links followed); false when it cannot be read or is no
// regular file.
bool ReadFileStamp(const std::string& path, FileStamp* stamp);

}  // namespace platform
