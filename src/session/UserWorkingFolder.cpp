#include "session/UserWorkingFolder.h"

#include <set>
#include <sstream>
#include <vector>

#include "base/Paths.h"
#include "platform/Directory.h"
#include "platform/File.h"
#include "platform/FileKind.h"
#include "platform/Links.h"
#include "platform/MakeFolders.h"
#include "platform/ProgramPath.h"
#include "platform/SiblingTempFile.h"
#include "platform/SmallFile.h"
#include "platform/Terminal.h"
#include "session/MirrorTree.h"

namespace {

constexpr const char* kPackageKinds[] = {"Coders", "Decoders"};
constexpr const char* kRecordName = ".kelto-packages";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::set<std::string> ReadRecord(const std::string& path) {
    std::string text;
    std::set<std::string> packages;
    if (!platform::ReadSmallFile(path, &text)) return packages;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) packages.insert(line);
    }
    return packages;
}

std::string WriteRecord(const std::string& path, const std::set<std::string>& packages) {
    std::string text;
    for (const std::string& package : packages) text += package + "\n";
    std::string present;
    if (platform::ReadSmallFile(path, &present) && present == text) return {};
    std::string temporary;
    platform::File file = platform::CreateSiblingTempFile(path, temporary);
    platform::Error error;
    if (file.IsOpen() && file.WriteAll(text.data(), text.size()) && file.Close() &&
        platform::RenameFile(temporary, path, &error)) {
        return {};
    }
    if (!temporary.empty()) platform::RemoveFile(temporary);
    return "cannot write " + path;
}

std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(folder, "*", entries);
    std::vector<std::string> names;
    for (const platform::DirectoryEntry& entry : entries) {
        if (platform::GetEntryKind(folder + "/" + entry.name) == platform::EntryKind::Directory) {
            names.push_back(entry.name);
        }
    }
    return names;
}

// Points folder/name at target unless the user made a real folder or file of that name.
std::string LinkUnlessOwned(const std::string& target, const std::string& folder,
                            const std::string& name) {
    const std::string path = folder + "/" + name;
    const platform::EntryKind kind = platform::GetEntryKind(path);
    if (kind != platform::EntryKind::Missing && kind != platform::EntryKind::Link) return {};
    std::string present;
    if (kind == platform::EntryKind::Link && platform::ReadLink(path, &present) && present == target) {
        return {};
    }
    platform::Error error;
    return platform::SetLink(target, path, &error) ? std::string()
                                                   : "cannot link " + path + ": " + error.text;
}

// Copies the installed packages in, keeps the earlier copies in step and removes those the
// install no longer has; what the record does not list belongs to the user.
std::string MirrorPackages(const InstalledLayout& layout, const std::string& folder) {
    const std::string recordPath = folder + "/" + kRecordName;
    const std::set<std::string> before = ReadRecord(recordPath);
    std::set<std::string> after;
    std::string problem;
    for (const char* kind : kPackageKinds) {
        const std::string source = layout.DataFolder + "/" + kind;
        platform::Error error;
        if (!platform::MakeFolders(folder + "/" + kind, &error)) {
            return "cannot make " + folder + "/" + kind + ": " + error.text;
        }
        for (const std::string& name : Subfolders(source)) {
            const std::string package = std::string(kind) + "/" + name;
            const std::string copy = folder + "/" + package;
            const bool users = before.count(package) == 0 &&
                               platform::GetEntryKind(copy) != platform::EntryKind::Missing;
            if (users) continue;
            after.insert(package);
            if (problem.empty()) problem = MirrorTree(source + "/" + name, copy);
        }
    }
    for (const std::string& package : before) {
        platform::Error error;
        if (after.count(package) == 0 && !platform::RemoveTree(folder + "/" + package, &error) &&
            problem.empty()) {
            problem = "cannot remove " + folder + "/" + package + ": " + error.text;
        }
    }
    const std::string recorded = WriteRecord(recordPath, after);
    return problem.empty() ? recorded : problem;
}

}  // namespace

std::optional<InstalledLayout> FindInstalledLayout(const std::string& programPath) {
    const std::string programs = PathFolder(programPath);
    if (!EndsWith(programs, "/lib/kelto")) return std::nullopt;
    const std::string prefix = programs.substr(0, programs.size() - std::string("/lib/kelto").size());
    InstalledLayout layout{programs, prefix + "/share/kelto"};
    if (platform::GetFileKind(layout.DataFolder + "/Base.xml") != platform::FileKind::Regular) {
        return std::nullopt;
    }
    return layout;
}

std::string UserWorkingFolderPath() { return platform::UserDataHome() + "/kelto"; }

std::string PrepareUserWorkingFolder(const InstalledLayout& layout, const std::string& folder) {
    platform::Error error;
    if (!platform::MakeFolders(folder + "/Codecs", &error)) {
        return "cannot make the working folder " + folder + ": " + error.text;
    }
    for (const auto& [target, name] : {std::pair{layout.ProgramFolder + "/Languages", "Languages"},
                                       std::pair{layout.ProgramFolder + "/Plugins", "Plugins"},
                                       std::pair{layout.DataFolder + "/Manual", "Manual"}}) {
        if (std::string problem = LinkUnlessOwned(target, folder, name); !problem.empty()) {
            return problem;
        }
    }
    if (std::string problem = MirrorTree(layout.DataFolder + "/Base.xml", folder + "/Base.xml");
        !problem.empty()) {
        return problem;
    }
    return MirrorPackages(layout, folder);
}

bool EnterUserWorkingFolder(std::string* problem) {
    const std::optional<InstalledLayout> layout = FindInstalledLayout(platform::ProgramPath());
    if (!layout) return true;
    const std::string folder = UserWorkingFolderPath();
    *problem = PrepareUserWorkingFolder(*layout, folder);
    platform::Error error;
    if (!platform::ChangeCurrentDirectory(folder, &error)) {
        *problem = "cannot enter the working folder " + folder + ": " + error.text;
        return false;
    }
    return true;
}
