// A run's claim on the files it makes in output folders, seen by the runs that come after it:
// runs that died are real processes that end without cleaning up.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "session/RunFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::size_t JournalsIn(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& name : FileNamesIn(folder)) count += name.rfind(".kelto-run-", 0) == 0;
    return count;
}

// A run in a process of its own: it claims paths, forgets forgotten, then either ends at once
// without cleaning up (as a crash would) or, when holdOn, reports ready on a pipe and waits to
// be killed.
class CRunProcess {
public:
    CRunProcess(const std::vector<std::string>& paths, const std::vector<std::string>& forgotten,
                bool holdOn) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            auto* files = new CRunFiles;  // never destroyed: the run does not clean up
            bool claimed = true;
            for (const auto& path : paths) claimed = files->Claim(path, nullptr) && claimed;
            for (const auto& path : forgotten) files->Forget(path);
            const char answer = claimed ? 'y' : 'n';
            [[maybe_unused]] const auto written = ::write(ready[1], &answer, 1);
            while (holdOn) ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char answer = 'n';
        EXPECT_EQ(::read(ready[0], &answer, 1), 1);
        EXPECT_EQ(answer, 'y');
        ::close(ready[0]);
        if (!holdOn) Reap();
    }
    ~CRunProcess() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        Reap();
    }
    void Kill() {
        ::kill(m_pid, SIGKILL);
        Reap();
    }

private:
    void Reap() {
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    pid_t m_pid = 0;
};

}  // namespace

TEST(RunFiles, RemoveStaleRemovesWhatRunsThatDiedLeftAndNothingElse) {
    TempDir dir;
    const std::string out = dir / "out";
    fs::create_directories(out);
    for (const char* name : {"song.flac", "old.kelto-new.flac", "renamed.kelto-new.flac"}) {
        WriteFileBytes(out + "/" + name, "not the runs'");
    }
    // A run that died with two outputs written apart, one of them finished and renamed.
    CRunProcess dead({out + "/a.kelto-new.flac", out + "/renamed.flac", out + "/line\nfeed.flac"},
                     {out + "/renamed.flac"}, false);
    // A run that lives in another process, and one in this process.
    CRunProcess other({out + "/b.kelto-new.flac"}, {}, true);
    CRunFiles ours;
    ASSERT_TRUE(ours.Claim(out + "/c.kelto-new.flac", nullptr));
    ASSERT_EQ(JournalsIn(out), 3u);

    EXPECT_EQ(CRunFiles::RemoveStale(out), 2);
    EXPECT_EQ(FileNamesIn(out).count("a.kelto-new.flac"), 0u);
    EXPECT_EQ(FileNamesIn(out).count("line\nfeed.flac"), 0u);
    EXPECT_EQ(JournalsIn(out), 2u);
    for (const char* name : {"song.flac", "old.kelto-new.flac", "renamed.kelto-new.flac",
                             "renamed.flac", "b.kelto-new.flac", "c.kelto-new.flac"}) {
        EXPECT_EQ(FileNamesIn(out).count(name), 1u) << name;
    }
    EXPECT_EQ(CRunFiles::RemoveStale(out), 0);

    // Killed, the other run's lock goes with it.
    other.Kill();
    EXPECT_EQ(CRunFiles::RemoveStale(out), 1);
    EXPECT_EQ(FileNamesIn(out).count("b.kelto-new.flac"), 0u);
    EXPECT_EQ(FileNamesIn(out).count("c.kelto-new.flac"), 1u);
    EXPECT_EQ(JournalsIn(out), 1u);
    EXPECT_EQ(CRunFiles::RemoveStale(dir / "missing"), 0);
}

TEST(RunFiles, ClaimIsExclusiveAndTheRunRemovesWhatItDidNotForget) {
    TempDir dir;
    const std::string one = dir / "one";
    const std::string two = dir / "two";
    fs::create_directories(one);
    fs::create_directories(two);
    WriteFileBytes(one + "/there.flac", "someone's");
    {
        CRunFiles files;
        std::string reason;
        EXPECT_FALSE(files.Claim(one + "/there.flac", &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(files.Claim(dir / "missing/x.flac", &reason));
        EXPECT_FALSE(files.Claim(one + "/", &reason));

        // Worker threads claim at once, in two folders; half of the outputs are finished.
        std::vector<std::thread> workers;
        for (int t = 0; t < 4; ++t) {
            workers.emplace_back([&files, &one, &two, t] {
                for (int i = 0; i < 50; ++i) {
                    const std::string path = (i % 2 ? one : two) + "/" + std::to_string(t) + "-" +
                                             std::to_string(i) + ".kelto-new.flac";
                    EXPECT_TRUE(files.Claim(path, nullptr)) << path;
                    if (i < 25) files.Forget(path);
                }
            });
        }
        for (auto& worker : workers) worker.join();
        EXPECT_FALSE(files.Claim(one + "/0-1.kelto-new.flac", &reason));  // claimed already
        EXPECT_EQ(FileNamesIn(one).size() + FileNamesIn(two).size(), 1u + 200u + 2u);
        EXPECT_EQ(CRunFiles::RemoveStale(one), 0);  // its own journals are live
    }
    // Only what was forgotten, and what was never claimed, stays; no journal.
    EXPECT_EQ(FileNamesIn(one).size() + FileNamesIn(two).size(), 1u + 100u);
    EXPECT_EQ(FileNamesIn(one).count("there.flac"), 1u);
    EXPECT_EQ(FileNamesIn(one).count("0-1.kelto-new.flac"), 1u);
    EXPECT_EQ(FileNamesIn(two).count("0-30.kelto-new.flac"), 0u);
}
