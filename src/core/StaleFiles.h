#pragma once

#include <functional>
#include <string>
#include <vector>

// Reads the text of a lock file into the plain names of files it lists in its folder; false
// when the text is not what its maker writes (then nothing is removed).
using ListedNamesReader =
    std::function<bool(const std::string& text, std::vector<std::string>* names)>;

// Cleans up after a kelto that died: when the holder of the lock file folder/lockName is gone
// (platform::LockFile::TryTakeStale), removes the files that read finds listed in it, where
// they are regular files still, then the lock file. The number of files removed; -1 when the
// holder lives or read refuses the text, and nothing is removed.
int RemoveStaleFiles(const std::string& folder, const std::string& lockName,
                     const ListedNamesReader& read);
