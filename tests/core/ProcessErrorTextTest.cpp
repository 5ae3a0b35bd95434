// What a program run without its output shown says on its standard error, kept for the report of
// a failed job: real codec programs on real inputs, through the core as a run uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "CoreTestJob.h"
#include "core/CommandLine.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "platform/ChildProcess.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Q(const std::string& text) { return QuoteCommandLineArgument(text); }

bool Sox(const std::string& arguments) {
    return std::system(("sox -n " + arguments + " synth 0.2 sine 440 2>/dev/null").c_str()) == 0;
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// The files (device and inode) behind a process's descriptors above the three standard ones.
std::set<std::pair<dev_t, ino_t>> FilesAboveStandardStreams(const std::string& pid) {
    std::set<std::pair<dev_t, ino_t>> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + pid + "/fd", error)) {
        if (std::stoi(entry.path().filename().string()) <= 2) continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) == 0) files.insert({info.st_dev, info.st_ino});
    }
    return files;
}

class ProcessErrorTextTest : public ::testing::Test {
protected:
    CCoreTestJob* Job(const std::string& program, const std::string& commandLine) {
        m_jobs.push_back(std::make_unique<CCoreTestJob>(0, commandLine));
        if (!program.empty()) m_jobs.back()->SetProgramPath(program);
        return m_jobs.back().get();
    }

    void RunAll(int threads) {
        m_core.SetThreadsCount(threads);
        for (auto& job : m_jobs) ASSERT_TRUE(m_core.AddJob(job.get()));
        ASSERT_TRUE(m_core.Start());
        ASSERT_TRUE(
            probe::WaitUntil([&] { return !m_core.IsRunning(); }, std::chrono::seconds(60)));
        m_core.WaitForWorkers();
    }

    TempDir m_dir;
    std::vector<std::unique_ptr<CCoreTestJob>> m_jobs;
    CCore m_core;  // destroyed before the jobs

    void TearDown() override { m_core.WaitForWorkers(); }
};

}  // namespace

TEST_F(ProcessErrorTextTest, CodecProgramsThatRefuseTheirInputSayWhy) {
    const std::string threeChannels = m_dir / "three.wav";
    const std::string at24k = m_dir / "24k.wav";
    const std::string floats = m_dir / "float.wav";
    const std::string good = m_dir / "good.wav";
    ASSERT_TRUE(Sox("-r 44100 -c 3 -b 16 " + Q(threeChannels)));
    ASSERT_TRUE(Sox("-r 24000 -c 1 -b 16 " + Q(at24k)));
    ASSERT_TRUE(Sox("-r 44100 -c 2 -e floating-point -b 32 " + Q(floats)));
    ASSERT_TRUE(Sox("-r 44100 -c 2 -b 16 " + Q(good)));
    auto* lame = Job("/usr/bin/lame", "-V 2 " + Q(threeChannels) + " " + Q(m_dir / "o.mp3"));
    auto* speex = Job("/usr/bin/speexenc", "--quality 8 " + Q(at24k) + " " + Q(m_dir / "o.spx"));
    auto* flac = Job("/usr/bin/flac", "-f -w -5 -o " + Q(m_dir / "o.flac") + " " + Q(floats));
    // lame prints a banner, progress and a summary on stderr when it succeeds.
    auto* fine = Job("/usr/bin/lame", "-V 2 " + Q(good) + " " + Q(m_dir / "good.mp3"));

    RunAll(2);

    const ProcessExitStatus lameStatus = lame->GetExitStatus();
    EXPECT_TRUE(lameStatus.Failed());
    // Said twice by lame, kept once; its closing line follows.
    EXPECT_EQ(lameStatus.errorText,
              "Unsupported number of channels: 3\nCan't init infile '" + threeChannels + "'");
    EXPECT_EQ(speex->GetExitStatus().exitCode, 1);
    EXPECT_EQ(speex->GetExitStatus().errorText.rfind("Only 8 kHz (narrowband) and 16 kHz", 0), 0u)
        << speex->GetExitStatus().errorText;
    // flac's copyright banner comes first; only its last lines are kept, the blank one dropped.
    const std::string flacText = flac->GetExitStatus().errorText;
    EXPECT_EQ(flacText.substr(flacText.rfind('\n') + 1),
              "float.wav: ERROR: unsupported format type 3");
    EXPECT_EQ(std::count(flacText.begin(), flacText.end(), '\n'), 2) << flacText;
    EXPECT_TRUE(fine->GetExitStatus().Succeeded());
    EXPECT_EQ(fine->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, OnlyTheLastLinesAreKeptWithProgressInItsFinalStateAndNoControls) {
    // Far more than the tail that is read: the first lines are never seen.
    auto* chatty =
        Job("", "--say-lines 20000 --say " +
                    Q("\\rcoding  10%\\rcoding  99%   \\r\\n\\e[1;31mx.wav: ERROR:\\e[0m "
                      "bad\\tblock\\n\\n  \\n") +
                    " --exit 3");
    // A tail that starts inside one long line drops that cut line rather than a part of it.
    auto* longLine =
        Job("", "--say " + Q(std::string(9000, 'a') + "\\nlast words\\n") + " --exit 1");
    // A short text is read from its beginning: its first line is whole.
    auto* shortText = Job("", "--say " + Q("only line") + " --exit 1");
    auto* silent = Job("", "--exit 4");

    RunAll(2);

    EXPECT_EQ(chatty->GetExitStatus().exitCode, 3);
    EXPECT_EQ(chatty->GetExitStatus().errorText,
              "line 20000\ncoding  99%\nx.wav: ERROR: bad block");
    EXPECT_EQ(longLine->GetExitStatus().errorText, "last words");
    EXPECT_EQ(shortText->GetExitStatus().errorText, "only line");
    EXPECT_EQ(silent->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, ShownProgramsKeepTheirOutputAndChildrenHoldOnlyTheirOwnStreams) {
    auto* first = Job("", "--sleep 20000");
    auto* second = Job("", "--sleep 20000");
    ASSERT_TRUE(first->Run(kNormalPriorityClass));
    ASSERT_TRUE(second->Run(kNormalPriorityClass));
    const int secondPid = static_cast<int>(second->GetProcessInfo().processId);
    // The first program's error file is open in kelto, but never in a program started later;
    // nothing else kelto holds open reaches it either. (A sanitizer's runtime in the program may
    // open files of its own while it starts, so only inherited files count.)
    const auto ours = FilesAboveStandardStreams("self");
    for (const auto& file : FilesAboveStandardStreams(std::to_string(secondPid))) {
        EXPECT_EQ(ours.count(file), 0u) << "inode " << file.second << " inherited from kelto";
    }
    const fs::path error = "/proc/" + std::to_string(secondPid) + "/fd/2";
    EXPECT_EQ(fs::read_symlink(error).string().rfind("/memfd:kelto-stderr", 0), 0u);
    for (auto* job : {first, second}) {
        const auto info = job->GetProcessInfo();
        platform::ChildExit exit;
        platform::KillChildGroup(static_cast<int>(info.processId), info.processHandle);
        ASSERT_TRUE(platform::ReapChild(info.processHandle, &exit));
        job->CloseProcessHandle();
    }
    m_jobs.clear();

    auto* shown = Job("", "--say " + Q("seen on the terminal\\n") + " --exit 1");
    shown->SetShowWindow(1);
    RunAll(1);
    EXPECT_EQ(shown->GetExitStatus().exitCode, 1);
    EXPECT_EQ(shown->GetExitStatus().errorText, "");
}

TEST_F(ProcessErrorTextTest, RunsLeaveNoDescriptorOpen) {
    // A first run, so that whatever the core or the library keep for good is open already.
    Job("", "--say x --exit 1");
    RunAll(2);
    m_jobs.clear();
    const std::size_t before = OpenDescriptors();
    for (int i = 0; i < 40; ++i) {
        Job("", i % 2 == 0 ? "--say-lines 100 --exit 2" : "--say-lines 3");
    }
    Job(m_dir / "missing program", "");
    RunAll(4);
    // Run again, the records' files of the last run still open until they are reaped.
    RunAll(4);
    EXPECT_EQ(m_jobs[0]->GetExitStatus().errorText, "line 98\nline 99\nline 100");
    EXPECT_EQ(OpenDescriptors(), before);
}
