#pragma once

#include <string>
#include <vector>

// What kelto was asked on its command line: kelto [--help] [--version] [--] [PATH...].
struct CommandLine {
    enum class Action { Run, Help, Version, BadOption };
    Action What = Action::Run;
    // The files, folders and playlists named, made absolute against the starting directory.
    std::vector<std::string> Paths;
    // The option that was not understood (Action::BadOption).
    std::string BadOption;
};

// arguments are the program's arguments without its name (and without Qt's own options, which
// QApplication takes out). --help or --version anywhere before "--" wins over everything else,
// so that both work before the window system is reached; "--" ends the options.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& startDirectory);

// path against base (a directory with its links resolved, as the kernel gives the current
// one) when relative, without "." parts and doubled slashes. A leading ".." climbs out of
// base; any other ".." stays, since the folder before it may be a link.
std::string AbsolutePath(const std::string& path, const std::string& base);

// The text of --help, ending with a line break.
std::string UsageText();
