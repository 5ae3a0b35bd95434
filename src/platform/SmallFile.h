#pragma once

#include <string>

namespace platform {

// Appends the whole of a small file (a /proc entry, say) to text; false when it cannot be
// opened or read.
bool ReadSmallFile(const std::string& path, std::string* text);

}  // namespace platform
