#pragma once

#include <string>

#include "platform/Error.h"

namespace platform {

// Makes the folder and every missing folder above it (mode 0777 before umask), as mkdir -p
// does. True when the folder exists afterwards, also when it existed before; false with the
// error of the step that failed (a file where a folder should be gives ENOTDIR or EEXIST).
bool MakeFolders(const std::string& path, Error* error = nullptr);

}  // namespace platform
