#pragma once

#include <string>

namespace platform {

// The path of the running program's executable, links resolved; empty when unknown.
std::string ProgramPath();

// The base folder of the user's data files: $XDG_DATA_HOME when it is set to an absolute path,
// else the home folder's ".local/share".
std::string UserDataHome();

}  // namespace platform
