#pragma once

#include <string>

#include "platform/Error.h"

namespace platform {

// Why path cannot be read as a regular file right now: no error when it can be opened for
// reading; otherwise what File::OpenRead fails with (the system's reason, EISDIR for a folder,
// Error::kNotRegularFile for a named pipe, a socket or a device). Opens nothing but a regular
// file, never blocks and creates nothing.
Error ReadableFileError(const std::string& path);

// True when ReadableFileError finds nothing wrong.
bool IsReadableFile(const std::string& path);

// True when path (links followed) is a named pipe, a socket or a device; looked at, not opened.
bool IsSpecialFile(const std::string& path, Error* error = nullptr);

}  // namespace platform
