#pragma once

#include <cstddef>
#include <string>

#include "platform/Error.h"

namespace platform {

// An anonymous file that lives in memory only: it has no name on disk and is gone once the last
// descriptor of it is closed. The descriptor is close-on-exec and never one of 0, 1 and 2, so a
// child is given it only by putting it on one of those. -1 with the error when none can be made.
int CreateMemoryFile(const char* name, Error* error = nullptr);

// The last maxBytes bytes of the file (all of it when it is shorter), read without moving the
// file position that a child may still share. whole says whether the text starts at the
// beginning of the file.
bool ReadFileTail(int fd, std::size_t maxBytes, std::string* text, bool* whole,
                  Error* error = nullptr);

void CloseMemoryFile(int fd);

}  // namespace platform
