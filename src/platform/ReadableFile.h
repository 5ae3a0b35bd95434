#pragma once

#include <string>

namespace platform {

// True when path names an existing entry that is not a directory (links followed) and that
// can be opened for reading right now. Never blocks, not even on a named pipe, and creates
// nothing.
bool IsReadableFile(const std::string& path);

}  // namespace platform
