#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Which file a path names (device and inode, links followed) and its size, taken once so that
// repeated readings of a process's position need not look the path up again.
struct FileIdentity {
    bool valid = false;  // false when the path cannot be read
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
};
FileIdentity IdentifyFile(const std::string& path);

// How far a running process has got in a file it holds open: the offset of its descriptor
// that refers to that file, read from /proc/<pid>/fdinfo. -1 when the process is gone, holds
// no such descriptor, or the file is not valid. When it holds several, the largest offset
// counts.
std::int64_t OpenFilePosition(int pid, const FileIdentity& file);
std::int64_t OpenFilePosition(int pid, const std::string& path);

}  // namespace platform
