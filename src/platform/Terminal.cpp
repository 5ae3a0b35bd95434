#include "platform/Terminal.h"

#include <unistd.h>

#include <cerrno>

namespace platform {

bool IsStandardErrorTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool ChangeCurrentDirectory(const std::string& path, Error* error) {
    if (::chdir(path.c_str()) == 0) return true;
    if (error != nullptr) *error = Error::FromErrno(errno);
    return false;
}

}  // namespace platform
