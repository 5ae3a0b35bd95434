#pragma once

#include <cstdint>
#include <string>

namespace platform {

// How far a running process has got in a file it holds open: the offset of the first of its
// descriptors that refers to the same file as path (same device and inode), read from
// /proc/<pid>/fdinfo. -1 when the process is gone, holds no such descriptor, or path cannot
// be read. When it holds several, the largest offset counts.
std::int64_t OpenFilePosition(int pid, const std::string& path);

}  // namespace platform
