#include "core/StaleFiles.h"

#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/LockFile.h"

int RemoveStaleFiles(const std::string& folder, const std::string& lockName,
                     const ListedNamesReader& read) {
    const std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    platform::LockFile file = platform::LockFile::TryTakeStale(prefix + lockName);
    std::string text;
    std::vector<std::string> names;
    if (!file.IsHeld() || !file.ReadAll(&text) || !read(text, &names)) return -1;
    int removed = 0;
    for (const std::string& name : names) {
        // A link or a folder under a listed name is not what kelto made there.
        const std::string path = prefix + name;
        if (platform::IsPlainFile(path) && platform::RemoveFile(path)) ++removed;
    }
    file.Remove();
    return removed;
}
