#include "session/ProgramVersion.h"

#include <cctype>

#include "platform/ChildProcess.h"
#include "platform/ChildWait.h"
#include "platform/MemoryFile.h"

namespace {

// FFmpeg's answer, the longest, is about 2 KB: its first line is what counts.
constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

bool IsVersionCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
           c == '~' || c == '_';
}

// The version word starting at start, or empty when the word there is none.
std::string VersionWordAt(const std::string& line, std::size_t start) {
    std::size_t end = start;
    while (end < line.size() && IsVersionCharacter(line[end])) ++end;
    std::size_t digits = start;
    while (digits < end && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
    const bool numbered = digits > start && digits + 1 < end && line[digits] == '.' &&
                          std::isdigit(static_cast<unsigned char>(line[digits + 1]));
    if (!numbered) return {};
    // "1.4.2." at the end of a sentence: the dot is not the version's.
    while (line[end - 1] == '.' || line[end - 1] == '-') --end;
    return line.substr(start, end - start);
}

std::string VersionInLine(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        // A word starts after a blank, a bracket or a "v" ("v1.2"), never inside another word.
        const bool wordStart =
            i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t' || line[i - 1] == '(' ||
            ((line[i - 1] == 'v' || line[i - 1] == 'V') && (i == 1 || line[i - 2] == ' '));
        if (!wordStart || !std::isdigit(static_cast<unsigned char>(line[i]))) continue;
        std::string word = VersionWordAt(line, i);
        if (!word.empty()) return word;
    }
    return {};
}

// Runs the program with one argument, its output and error into one memory file. False when it
// cannot be started or has not ended within timeoutMs (it is killed then).
bool Ask(const std::string& path, const std::string& argument, int timeoutMs, std::string* answer) {
    const int fd = platform::CreateMemoryFile("kelto-version");
    if (fd < 0) return false;
    platform::ChildOutput output;
    output.errorFd = fd;
    output.outputToError = true;
    platform::ChildProcess child;
    if (!platform::SpawnChild(path, {argument}, 0, output, &child)) {
        platform::CloseMemoryFile(fd);
        return false;
    }
    const bool ended = platform::WaitForChildExitFor(child.pidfd, timeoutMs);
    if (!ended) platform::KillChildGroup(child.pid, child.pidfd);
    platform::ChildExit exit;
    platform::ReapChild(child.pidfd, &exit);
    platform::CloseChildHandle(child.pidfd);
    bool whole = false;
    const bool read = ended && platform::ReadFileTail(fd, kMaxAnswerBytes, answer, &whole);
    platform::CloseMemoryFile(fd);
    return read;
}

}  // namespace

std::string FindVersionNumber(const std::string& answer) {
    std::size_t start = 0;
    while (start < answer.size()) {
        std::size_t end = answer.find('\n', start);
        if (end == std::string::npos) end = answer.size();
        std::string version = VersionInLine(answer.substr(start, end - start));
        if (!version.empty()) return version;
        start = end + 1;
    }
    return {};
}

std::string ReadProgramVersion(const std::string& path, int timeoutMs) {
    for (const char* argument : {"--version", "-V", "-v"}) {
        std::string answer;
        if (!Ask(path, argument, timeoutMs, &answer)) return {};
        std::string version = FindVersionNumber(answer);
        if (!version.empty()) return version;
    }
    return {};
}
