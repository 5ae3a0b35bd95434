#include "CliFixture.h"

#include <cstdlib>
#include <filesystem>

#include "session/EngineFiles.h"
#include "support/programs/ProcessProbe.h"

namespace fs = std::filesystem;

std::string CliProgram() { return std::string(KELTO_WORK_DIR) + "/kelto-cli"; }

std::string CliCommand(const std::string& work) {
    return ShellQuoted(CliProgram()) + " --workdir " + ShellQuoted(work);
}

CliResult RunCaptured(const std::string& command, const std::string& folder, CliStreams streams) {
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    const std::string rc = folder + "/rc.txt";
    const std::string errors = streams == CliStreams::Together ? "2>&1" : "2>" + ShellQuoted(err);
    const std::string redirected = command + " >" + ShellQuoted(out) + " " + errors +
                                   " </dev/null; echo $? >" + ShellQuoted(rc);
    // The shell's own status says nothing of the program's: that is in rc.
    [[maybe_unused]] const int shell = std::system(redirected.c_str());
    CliResult result;
    result.Exit = std::stoi(ReadFileBytes(rc));
    result.Out = ReadFileBytes(out);
    if (streams == CliStreams::Apart) result.Err = ReadFileBytes(err);
    return result;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::set<std::string> OutputTree(const std::string& folder, bool withFolders) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if ((withFolders || entry.is_regular_file()) && entry.path().filename() != ".kelto-record")
            files.insert(fs::relative(entry.path(), folder).string());
    }
    return files;
}

CliInBackground::CliInBackground(const std::string& command, const std::string& folder)
    : m_pidFile(folder + "/cli.pid"), m_rcFile(folder + "/cli.rc") {
    // The status is written whole, or not at all, so a file that is there can be read.
    const std::string wrapped = "( " + command + " & echo $! >" + ShellQuoted(m_pidFile) +
                                "; wait $!; echo $? >" + ShellQuoted(m_rcFile + ".tmp") + "; mv " +
                                ShellQuoted(m_rcFile + ".tmp") + " " + ShellQuoted(m_rcFile) +
                                " ) 2>/dev/null &";
    EXPECT_EQ(std::system(wrapped.c_str()), 0) << wrapped;
}

CliInBackground::~CliInBackground() {
    // Only while it still runs: once ended, its process id may be another's.
    if (Ended()) return;
    const int pid = Pid();
    if (pid <= 0) return;
    const int status = std::system(("kill -KILL " + std::to_string(pid) + " 2>/dev/null").c_str());
    static_cast<void>(status);  // a run already gone is what we want anyway
}

int CliInBackground::Pid() const { return probe::WaitForPidFile(m_pidFile); }

bool CliInBackground::Ended() const { return fs::exists(m_rcFile); }

int CliInBackground::Exit() const { return std::stoi(ReadFileBytes(m_rcFile)); }

std::string CliFixture::Wav(const std::string& path, int seed, double seconds) {
    fs::create_directories(fs::path(path).parent_path());
    WriteTestWav(path, 44100, 2, seconds, seed);
    return path;
}

void CliFixture::Flac(const std::string& path, int seed, const std::vector<std::string>& tags) {
    fs::create_directories(fs::path(path).parent_path());
    const std::string wav = m_dir / "tone.wav";
    WriteTestWav(wav, 44100, 2, 0.2, seed);
    std::string command = "flac -s -f";
    for (const std::string& tag : tags) command += " -T " + ShellQuoted(tag);
    ASSERT_TRUE(RunShell(command + " -o " + ShellQuoted(path) + " " + ShellQuoted(wav)));
}
