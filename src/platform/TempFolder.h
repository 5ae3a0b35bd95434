#pragma once

#include <string>

namespace platform {

// The folder for temporary files: $TMPDIR when it is set to an absolute path that names a
// folder this process may create files in, else /tmp. Never ends with "/" (unless it is "/").
// Read anew on every call, so a changed environment takes effect at once.
std::string TemporaryFolder();

// True when path is a folder in which this process may create and remove entries.
bool IsWritableFolder(const std::string& path);

}  // namespace platform
