#pragma once

#include <string>

#include "platform/File.h"

namespace platform {

// Creates a new, empty file with a unique name in the folder of path (path + ".kelto-XXXXXXXX"),
// open for writing. Writing a replacement there and renaming it over path replaces the file
// atomically, since both lie on the same file system. On failure the returned file is not open
// and carries the error; tempPath is then empty.
File CreateSiblingTempFile(const std::string& path, std::string& tempPath);

// The file that a replacement of path must take the place of: the target of a symbolic link
// (so the link survives), else path itself.
std::string ReplacementTarget(const std::string& path);

}  // namespace platform
