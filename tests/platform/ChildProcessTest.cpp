#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/CpuTime.h"
#include "support/TempDir.h"
#include "support/programs/ProcessProbe.h"

namespace {

platform::ChildProcess Spawn(const std::vector<std::string>& args, int nice = 0) {
    platform::ChildProcess child;
    platform::Error error;
    EXPECT_TRUE(platform::SpawnChild(probe::TestProgram("job_program"), args, nice, false, &child,
                                     &error))
        << error.text;
    return child;
}

platform::ChildExit WaitAndReap(const platform::ChildProcess& child) {
    platform::ChildExit exit;
    EXPECT_TRUE(platform::WaitForChildExit(child.pidfd));
    EXPECT_TRUE(platform::ReapChild(child.pidfd, &exit));
    platform::CloseChildHandle(child.pidfd);
    return exit;
}


}  // namespace

TEST(ChildProcess, ArgumentsArriveUnchanged) {
    TempDir dir;
    const std::vector<std::string> args = {dir / "dump", "", "a b", "\"q\"", "back\\", "%out%"};
    platform::ChildProcess child;
    ASSERT_TRUE(platform::SpawnChild(probe::TestProgram("argv_dump"), args, 0, false, &child));
    EXPECT_EQ(WaitAndReap(child).code, 0);
    EXPECT_EQ(probe::ReadArgvDump(dir / "dump"), std::vector<std::string>(args.begin() + 1, args.end()));
}

TEST(ChildProcess, ProgramThatCannotStartReportsTheSystemError) {
    TempDir dir;
    platform::ChildProcess child;
    platform::Error error;
    EXPECT_FALSE(platform::SpawnChild(dir / "missing", {}, 0, false, &child, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(error.text.empty());
    EXPECT_EQ(child.pidfd, -1);

    WriteFileBytes(dir / "plain", "not a program");
    EXPECT_FALSE(platform::SpawnChild(dir / "plain", {}, 0, false, &child, &error));
    EXPECT_EQ(error.code, EACCES);
}

TEST(ChildProcess, ExitStatusAndTerminatingSignalAreReported) {
    auto exit = WaitAndReap(Spawn({"--exit", "7"}));
    EXPECT_FALSE(exit.signalled);
    EXPECT_EQ(exit.code, 7);

    const auto child = Spawn({"--sleep", "20000"});
    EXPECT_FALSE(platform::HasChildExited(child.pidfd));
    EXPECT_TRUE(platform::KillChildGroup(child.pid, child.pidfd));
    exit = WaitAndReap(child);
    EXPECT_TRUE(exit.signalled);
    EXPECT_EQ(exit.signal, 9);
}

TEST(ChildProcess, WaitLeavesTheChildUnreapedUntilReaped) {
    const auto child = Spawn({});
    ASSERT_TRUE(platform::WaitForChildExit(child.pidfd));
    EXPECT_TRUE(platform::HasChildExited(child.pidfd));
    // Still a zombie: the pid cannot have been handed to another process.
    EXPECT_EQ(probe::StatField(child.pid, 3), "Z");
    platform::ChildExit exit;
    ASSERT_TRUE(platform::ReapChild(child.pidfd, &exit));
    EXPECT_TRUE(probe::StatField(child.pid, 3).empty() || probe::StatField(child.pid, 3) != "Z");
    platform::CloseChildHandle(child.pidfd);
}

TEST(ChildProcess, RunsInItsOwnGroupWithStandardInputFromNull) {
    const auto child = Spawn({"--sleep", "20000"});
    EXPECT_EQ(probe::ProcessGroup(child.pid), child.pid);
    const auto prefix = "/proc/" + std::to_string(child.pid) + "/fd/";
    EXPECT_EQ(std::filesystem::read_symlink(prefix + "0"), "/dev/null");
    EXPECT_EQ(std::filesystem::read_symlink(prefix + "1"), "/dev/null");
    EXPECT_EQ(std::filesystem::read_symlink(prefix + "2"), "/dev/null");
    platform::KillChildGroup(child.pid, child.pidfd);
    WaitAndReap(child);
}

TEST(ChildProcess, NiceIsAppliedAtStartAndToTheRunningGroup) {
    TempDir dir;
    const auto child = Spawn({"--grandchild", dir / "grandchild", "--sleep", "20000"}, 19);
    const int grandchild = probe::WaitForPidFile(dir / "grandchild");
    EXPECT_EQ(probe::Nice(child.pid), 19);
    EXPECT_EQ(probe::Nice(grandchild), 19);

    platform::SetChildGroupNice(child.pid, 5);
    EXPECT_EQ(probe::Nice(child.pid), 5);
    EXPECT_EQ(probe::Nice(grandchild), 5);
    platform::KillChildGroup(child.pid, child.pidfd);
    WaitAndReap(child);
}

TEST(ChildProcess, KillingTheGroupEndsTheJobsOwnChildren) {
    TempDir dir;
    const auto child = Spawn({"--grandchild", dir / "grandchild", "--sleep", "20000"});
    const int grandchild = probe::WaitForPidFile(dir / "grandchild");
    ASSERT_FALSE(probe::IsGone(grandchild));
    ASSERT_TRUE(platform::KillChildGroup(child.pid, child.pidfd));
    WaitAndReap(child);
    EXPECT_TRUE(probe::WaitUntil([&] { return probe::IsGone(grandchild); }));
}

TEST(CpuTime, BusyProcessUsesFarMoreThanASleepingOne) {
    const auto busy = Spawn({"--busy", "20000"});
    const auto idle = Spawn({"--sleep", "20000"});
    const auto start = platform::MonotonicTime100ns();
    probe::WaitUntil([&] { return platform::MonotonicTime100ns() - start > 4'000'000; });
    const auto busyTime = platform::ProcessCpuTime100ns(busy.pid, busy.pidfd);
    const auto idleTime = platform::ProcessCpuTime100ns(idle.pid, idle.pidfd);
    // 0.4 s of wall time on a shared machine: at least a tenth of it on the processor.
    EXPECT_GT(busyTime, 400'000);
    EXPECT_GE(idleTime, 0);
    EXPECT_LT(idleTime, busyTime / 4);
    for (const auto& child : {busy, idle}) {
        platform::KillChildGroup(child.pid, child.pidfd);
        WaitAndReap(child);
    }
}

TEST(CpuTime, EndedOrMissingProcessReadsMinusOne) {
    const auto child = Spawn({});
    ASSERT_TRUE(platform::WaitForChildExit(child.pidfd));
    EXPECT_EQ(platform::ProcessCpuTime100ns(child.pid, child.pidfd), -1);
    platform::ChildExit exit;
    platform::ReapChild(child.pidfd, &exit);
    EXPECT_EQ(platform::ProcessCpuTime100ns(child.pid, child.pidfd), -1);
    platform::CloseChildHandle(child.pidfd);
    EXPECT_EQ(platform::ProcessCpuTime100ns(0), -1);
    EXPECT_EQ(platform::ProcessCpuTime100ns(-5), -1);
}

TEST(Clock, MonotonicTimeMovesForwardInHundredsOfNanoseconds) {
    const auto a = platform::MonotonicTime100ns();
    probe::WaitUntil([] { return false; }, std::chrono::milliseconds(20));
    const auto b = platform::MonotonicTime100ns();
    EXPECT_GE(b - a, 150'000);  // at least 15 ms
    EXPECT_LT(b - a, 50'000'000);
    EXPECT_GE(platform::ProcessorCount(), 1);
}
