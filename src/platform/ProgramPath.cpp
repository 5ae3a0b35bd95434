#include "platform/ProgramPath.h"

#include <cstdlib>

#include "platform/File.h"
#include "platform/Links.h"

namespace platform {

std::string ProgramPath() {
    std::string path;
    return ReadLink("/proc/self/exe", &path) ? path : std::string();
}

std::string UserDataHome() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') return data;
    const std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + "/.local/share";
}

}  // namespace platform
