#include "session/MirrorTree.h"

#include <set>
#include <vector>

#include "base/Paths.h"
#include "platform/Directory.h"
#include "platform/File.h"
#include "platform/Links.h"
#include "platform/MakeFolders.h"
#include "platform/SiblingTempFile.h"
#include "platform/SmallFile.h"

namespace {

using platform::EntryKind;

std::string Problem(const std::string& what, const std::string& path, const platform::Error& error) {
    return "cannot " + what + " " + path + (error ? ": " + error.text : std::string());
}

// The path with "." and ".." parts taken out, as the link resolves it ("/a/b/../c" is "/a/c").
std::string LexicallyNormal(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normal;
    for (const std::string& part : parts) normal += "/" + part;
    return normal.empty() ? "/" : normal;
}

std::string MirrorFile(const std::string& source, const std::string& destination) {
    std::string bytes;
    if (!platform::ReadSmallFile(source, &bytes)) return "cannot read " + source;
    if (platform::GetEntryKind(destination) == EntryKind::Regular &&
        platform::GetPermissionBits(source) == platform::GetPermissionBits(destination)) {
        std::string present;
        if (platform::ReadSmallFile(destination, &present) && present == bytes) return {};
    }
    platform::Error error;
    if (platform::GetEntryKind(destination) == EntryKind::Directory &&
        !platform::RemoveTree(destination, &error)) {
        return Problem("remove", destination, error);
    }
    std::string temporary;
    platform::File file = platform::CreateSiblingTempFile(destination, temporary);
    if (!file.IsOpen()) return Problem("write beside", destination, file.LastError());
    const bool written = file.WriteAll(bytes.data(), bytes.size()) && file.Close() &&
                         platform::CopyPermissions(source, temporary, &error) &&
                         platform::RenameFile(temporary, destination, &error);
    if (written) return {};
    if (!error) error = file.LastError();
    platform::RemoveFile(temporary);
    return Problem("write", destination, error);
}

std::string MirrorLink(const std::string& source, const std::string& destination) {
    std::string target;
    if (!platform::ReadLink(source, &target)) return "cannot read the link " + source;
    // A relative link means the same file from the copy only when made absolute.
    if (!target.empty() && target[0] != '/') {
        target = LexicallyNormal(PathFolder(source) + "/" + target);
    }
    std::string present;
    if (platform::ReadLink(destination, &present) && present == target) return {};
    platform::Error error;
    if (platform::GetEntryKind(destination) == EntryKind::Directory &&
        !platform::RemoveTree(destination, &error)) {
        return Problem("remove", destination, error);
    }
    return platform::SetLink(target, destination, &error) ? std::string()
                                                           : Problem("link", destination, error);
}

std::vector<std::string> EntryNames(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(folder, "*", entries);
    std::vector<std::string> names;
    for (const platform::DirectoryEntry& entry : entries) names.push_back(entry.name);
    return names;
}

}  // namespace

std::string MirrorTree(const std::string& source, const std::string& destination) {
    switch (platform::GetEntryKind(source)) {
        case EntryKind::Regular:
            return MirrorFile(source, destination);
        case EntryKind::Link:
            return MirrorLink(source, destination);
        case EntryKind::Directory:
            break;
        default:
            return "cannot copy " + source + ": not a file, a folder or a link";
    }
    platform::Error error;
    if (platform::GetEntryKind(destination) != EntryKind::Directory &&
        (!platform::RemoveTree(destination, &error) ||
         !platform::MakeFolders(destination, &error))) {
        return Problem("make the folder", destination, error);
    }
    const std::vector<std::string> names = EntryNames(source);
    for (const std::string& name : names) {
        std::string problem = MirrorTree(source + "/" + name, destination + "/" + name);
        if (!problem.empty()) return problem;
    }
    const std::set<std::string> wanted(names.begin(), names.end());
    for (const std::string& name : EntryNames(destination)) {
        // A file another kelto is writing apart at this moment is not one to remove.
        if (name.find(".kelto-") != std::string::npos) continue;
        if (wanted.count(name) == 0 && !platform::RemoveTree(destination + "/" + name, &error)) {
            return Problem("remove", destination + "/" + name, error);
        }
    }
    return {};
}
