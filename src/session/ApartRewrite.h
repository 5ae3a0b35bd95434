#pragma once

#include <functional>
#include <string>

class CRunFiles;

// Changes a finished file without ever leaving it half changed: its bytes are copied to a name
// beside it (claimed through runFiles, so that a run that dies meanwhile leaves nothing the
// next one does not remove), edit changes the copy, and the copy takes the file's name by a
// rename, with the file's permissions. A crash, or an edit or a copy that fails, leaves the
// file as it was. False with the reason when the file was not changed.
bool RewriteApart(const std::string& path, CRunFiles& runFiles,
                  const std::function<bool(const std::string& copy, std::string* why)>& edit,
                  std::string* why);
