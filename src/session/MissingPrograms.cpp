#include "session/MissingPrograms.h"

#include "base/Folders.h"
#include "base/Paths.h"
#include "base/TextFileRead.h"
#include "codecs/LineFiles.h"
#include "platform/File.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A package's own files: everything else in its folder is (or was) its program.
bool IsPackageFile(const std::string& name) {
    return EndsWith(name, ".ini") || EndsWith(name, ".txt") || EndsWith(name, ".name");
}

std::string FirstLine(const std::string& path) {
    CTextFileRead file(path);
    std::string line;
    ReadPackageLine(file, line);
    return TrimWhiteSpace(line);
}

MissingProgram Describe(const std::string& package, const std::vector<std::string>& entries) {
    MissingProgram missing{PathFileName(package), {}};
    for (const std::string& entry : entries) {
        const std::string name = PathFileName(entry);
        if (!IsPackageFile(name) && missing.Program.empty()) missing.Program = name;
    }
    // The display name of the program that is gone, or of the only one the package names.
    for (const std::string& entry : entries) {
        const std::string name = PathFileName(entry);
        if (!EndsWith(name, ".name")) continue;
        const std::string program = name.substr(0, name.size() - 5);
        if (!missing.Program.empty() && program != missing.Program) continue;
        const std::string display = FirstLine(entry);
        if (!display.empty()) missing.Name = display;
        if (missing.Program.empty()) missing.Program = program;
        break;
    }
    return missing;
}

}  // namespace

std::vector<MissingProgram> FindMissingPrograms(const std::string& packagesFolder) {
    std::vector<MissingProgram> result;
    std::vector<std::string> packages;
    if (!ListSubfolders(packagesFolder, "*", packages)) return result;
    for (const std::string& package : packages) {
        std::vector<std::string> entries;
        ListFiles(package, "*", entries);
        bool runnable = false;
        for (const std::string& entry : entries) runnable = runnable || !IsProgramMissing(entry);
        if (!runnable) result.push_back(Describe(package, entries));
    }
    return result;
}

bool IsProgramMissing(const std::string& programPath) {
    return !platform::IsExecutableFile(programPath);
}
