#pragma once

#include <string>

namespace platform {

// True when a directory entry of that name exists, a dangling symbolic link included.
bool EntryExists(const std::string& path);

// True when path is a regular file itself, not a link to one.
bool IsPlainFile(const std::string& path);

// True when both paths name the same existing file (same device and inode, links followed).
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace platform
