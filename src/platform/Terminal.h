#pragma once

#include <string>

#include "platform/Error.h"

namespace platform {

// True when standard error is a terminal (a progress line may then be redrawn in place).
bool IsStandardErrorTerminal();

// Changes the process's current directory; false with the error when it cannot.
bool ChangeCurrentDirectory(const std::string& path, Error* error = nullptr);

}  // namespace platform
