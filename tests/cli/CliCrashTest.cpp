// kelto-cli killed outright in the middle of a run (SIGKILL, as the OOM killer does): its codec
// programs end with it, and the next kelto-cli removes the temporary files it left, and only
// those.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "session/EngineFiles.h"
#include "support/programs/ProcessProbe.h"

namespace fs = std::filesystem;

namespace {

// The processes whose parent is pid, with their program names.
std::vector<std::pair<int, std::string>> ChildrenOf(int pid) {
    std::vector<std::pair<int, std::string>> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const int child = std::stoi(name);
        if (probe::StatField(child, 4) != std::to_string(pid) || probe::IsGone(child)) continue;
        std::string program = probe::ReadText(entry.path() / "comm");
        if (!program.empty() && program.back() == '\n') program.pop_back();
        children.emplace_back(child, program);
    }
    return children;
}

}  // namespace

TEST(CliCrash, KilledRunLeavesNoProgramRunningAndItsTemporaryFilesGoWithTheNextRun) {
    TempDir dir;
    const std::string temp = dir / "tmp";
    const std::string sources = dir / "sources";
    fs::create_directories(temp);
    fs::create_directories(sources);
    // Not kelto's, though it looks it.
    WriteFileBytes(temp + "/kel1234.wav", "someone else's");
    // Ten minutes of noise: the MP3 coder needs about six seconds of processor time for each,
    // more than the window below gives them, so only the kill can end them in it.
    ASSERT_TRUE(RunShell("sox -n -r 44100 -c 2 -b 16 " + ShellQuoted(sources + "/a.flac") +
                         " synth 600 pinknoise vol 0.5"));
    fs::copy_file(sources + "/a.flac", sources + "/b.flac");

    const std::string environment = "TMPDIR=" + ShellQuoted(temp) + " ";
    const CliInBackground run(
        environment + CliCommand() + " --coder MP3 --preset 0 --threads 2 --output " +
            ShellQuoted(dir / "out") + " " + ShellQuoted(sources) + " >/dev/null 2>&1",
        dir.Path().string());
    const int cli = run.Pid();
    ASSERT_GT(cli, 0);

    // Both files decoded to temporary WAVs, both coders at work on them.
    std::vector<std::pair<int, std::string>> programs;
    ASSERT_TRUE(probe::WaitUntil(
        [&] {
            programs = ChildrenOf(cli);
            return programs.size() == 2 && programs[0].second == "lame" &&
                   programs[1].second == "lame";
        },
        std::chrono::seconds(60)));
    ASSERT_EQ(std::system(("kill -KILL " + std::to_string(cli)).c_str()), 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(probe::WaitUntil(
        [&] { return probe::IsGone(programs[0].first) && probe::IsGone(programs[1].first); },
        std::chrono::seconds(5)));
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_TRUE(probe::WaitUntil([&] { return run.Ended(); }));
    // The killed run left its two temporary WAVs and the marker of their block.
    std::set<std::string> left = FileNamesIn(temp);
    EXPECT_EQ(left.size(), 4u) << "programs ended after " << waited.count() << " ms";

    // The next kelto-cli, whatever it is asked to do, cleans up after the dead one.
    ASSERT_TRUE(RunShell(environment + CliCommand() + " --list-coders"));
    EXPECT_EQ(FileNamesIn(temp), std::set<std::string>{"kel1234.wav"});
    EXPECT_EQ(ReadFileBytes(temp + "/kel1234.wav"), "someone else's");
}
