#include "app/CommandLine.h"

#include <string_view>

namespace {

bool IsOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// The names between the slashes of path, without the empty ones and ".".
std::vector<std::string_view> Components(const std::string& path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view part(path.data() + start, end - start);
        if (!part.empty() && part != ".") parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& startDirectory) {
    CommandLine line;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--help") {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options && argument == "--version") {
            return {CommandLine::Action::Version, {}, {}};
        } else if (options && IsOption(argument)) {
            if (line.BadOption.empty()) line.BadOption = argument;
        } else {
            line.Paths.push_back(AbsolutePath(argument, startDirectory));
        }
    }
    if (!line.BadOption.empty()) {
        line.What = CommandLine::Action::BadOption;
        line.Paths.clear();
    }
    return line;
}

std::string AbsolutePath(const std::string& path, const std::string& base) {
    const bool relative = path.empty() || path[0] != '/';
    std::vector<std::string_view> parts;
    if (relative) parts = Components(base);
    // The starting directory has its links resolved, so ".." may leave one of its folders for
    // the parent; after a folder the path names itself, ".." stays: that folder may be a link.
    std::size_t resolved = parts.size();
    for (const std::string_view part : Components(path)) {
        if (part == ".." && resolved > 0 && parts.size() == resolved) {
            parts.pop_back();
            --resolved;
        } else {
            parts.push_back(part);
        }
    }
    std::string result;
    for (const std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

std::string UsageText() {
    return "Usage: kelto [--help] [--version] [--] [PATH...]\n"
           "Opens kelto's window on its working folder and adds the files, folders (with their\n"
           "subfolders) and .m3u playlists named to its list. When kelto runs on that folder\n"
           "already, its window takes the paths and comes to the front.\n"
           "\n"
           "  --help     show this text\n"
           "  --version  show kelto's version\n"
           "  --         end of the options: what follows is a path, even when it starts with -\n";
}
