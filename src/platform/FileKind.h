#pragma once

#include <string>

namespace platform {

enum class FileKind { Missing, Regular, Directory, Other };

// What path names, links followed: a regular file, a folder, something else (a device, a
// pipe), or nothing (also when it cannot be looked at).
FileKind GetFileKind(const std::string& path);

}  // namespace platform
