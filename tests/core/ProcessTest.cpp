#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/Process.h"
#include "core/ProcessPriority.h"
#include "core/Templates.h"
#include "platform/ChildProcess.h"
#include "support/TempDir.h"
#include "support/programs/ProcessProbe.h"

namespace {

class CTestJob : public CProcess {
public:
    int GetKind() override { return 1; }
};

CTestJob MakeJob(const std::string& program, const std::string& commandLine) {
    CTestJob job;
    job.SetProgramPath(probe::TestProgram(program));
    job.SetCommandLine(commandLine);
    return job;
}

platform::ChildExit Finish(CProcess& job) {
    const auto info = job.GetProcessInfo();
    platform::ChildExit exit;
    EXPECT_TRUE(platform::WaitForChildExit(info.processHandle));
    EXPECT_TRUE(platform::ReapChild(info.processHandle, &exit));
    job.CloseProcessHandle();
    return exit;
}

void Kill(CProcess& job) {
    const auto info = job.GetProcessInfo();
    platform::KillChildGroup(static_cast<int>(info.processId), info.processHandle);
    Finish(job);
}

}  // namespace

TEST(Process, CommandLineIsTrimmedAndStoredWithOneLeadingBlank) {
    CTestJob job;
    EXPECT_TRUE(job.SetCommandLine("  -q 5  "));
    EXPECT_EQ(job.GetCommandLine(), "-q 5");
    EXPECT_TRUE(job.SetCommandLine("\t\r\n"));
    EXPECT_EQ(job.GetCommandLine(), "");
    EXPECT_TRUE(job.SetCommandLine("-t \xC3\x85"));  // a UTF-8 letter whose last byte is 0x85
    EXPECT_EQ(job.GetCommandLine(), "-t \xC3\x85");
    EXPECT_TRUE(job.SetProgramPath(" /odd path "));
    EXPECT_EQ(job.GetProgramPath(), " /odd path ");
    EXPECT_EQ(job.SetShowWindow(0), 1);
    EXPECT_EQ(job.GetProcessInfo().processHandle, -1);
    EXPECT_EQ(job.GetProcessInfo().processId, 0u);
}

TEST(Process, ExpandedPathsArriveByteForByteAsSingleArguments) {
    TempDir dir;
    const std::vector<std::string> names = {
        "a b.flac", "q\"uote\".flac", "back\\slash\\", "100%.flac", "%out%.wav", "\\\"\\\\\"",
        std::string(5000, 'L') + ".flac"};
    for (const auto& name : names) {
        TemplateValues values;
        values.InputPath = dir.Path().string() + "/" + name;
        values.OutputPath = dir.Path().string() + "/out %in% " + name;
        values.SampleRate = 44100;
        std::string line;
        ASSERT_TRUE(ExpandTemplate(
            "\"" + (dir / "dump") + "\" -d %in% -o %out% --khz %orig_sr_khz%", values, line));
        auto job = MakeJob("argv_dump", line);
        ASSERT_TRUE(job.Run(kNormalPriorityClass));
        EXPECT_EQ(Finish(job).code, 0);
        EXPECT_EQ(probe::ReadArgvDump(dir / "dump"),
                  (std::vector<std::string>{"-d", values.InputPath, "-o", values.OutputPath,
                                            "--khz", "44.1"}))
            << name;
    }
}

TEST(Process, RunOfAMissingProgramFailsAndRecordsWhy) {
    TempDir dir;
    CTestJob job;
    job.SetProgramPath(dir / "no such program");
    EXPECT_FALSE(job.Run(kNormalPriorityClass));
    EXPECT_EQ(job.GetProcessInfo().processHandle, -1);
    EXPECT_EQ(job.GetExitStatus().state, ProcessExitStatus::State::NotStarted);
    EXPECT_FALSE(job.GetExitStatus().startError.empty());
    EXPECT_TRUE(job.GetExitStatus().Failed());
}

TEST(Process, PriorityClassSetsTheNiceValueOfTheRunningProgram) {
    const bool privileged = probe::CanRaisePriority();
    const std::vector<std::pair<int, int>> classes = {{kIdlePriorityClass, 19},
                                                      {kNormalPriorityClass, 0},
                                                      {kHighPriorityClass, privileged ? -10 : 0},
                                                      {kRealtimePriorityClass, privileged ? -20 : 0},
                                                      {12345, 0}};
    for (const auto& [priorityClass, nice] : classes) {
        auto job = MakeJob("job_program", "--sleep 20000");
        ASSERT_TRUE(job.Run(priorityClass));
        const int pid = static_cast<int>(job.GetProcessInfo().processId);
        EXPECT_EQ(probe::Nice(pid), nice) << priorityClass;
        // A change while it runs, as the core does it.
        platform::SetChildGroupNice(pid, NiceForPriorityClass(kIdlePriorityClass));
        EXPECT_EQ(probe::Nice(pid), 19);
        Kill(job);
    }
}

TEST(Process, OutputIsInheritedOnlyWithTheShowFlag) {
    auto job = MakeJob("job_program", "--sleep 20000");
    job.SetShowWindow(0);
    ASSERT_TRUE(job.Run(kNormalPriorityClass));
    const auto fd = "/proc/" + std::to_string(job.GetProcessInfo().processId) + "/fd/1";
    EXPECT_EQ(std::filesystem::read_symlink(fd), "/dev/null");
    Kill(job);

    job.SetShowWindow(1);
    ASSERT_TRUE(job.Run(kNormalPriorityClass));
    const auto shown = "/proc/" + std::to_string(job.GetProcessInfo().processId) + "/fd/1";
    EXPECT_EQ(std::filesystem::read_symlink(shown), std::filesystem::read_symlink("/proc/self/fd/1"));
    Kill(job);
}

TEST(Process, CpuMeterFirstReadingIsZeroBusyFarAboveSleepingGoneIsZero) {
    auto busy = MakeJob("job_program", "--busy 20000");
    auto idle = MakeJob("job_program", "--sleep 20000");
    ASSERT_TRUE(busy.Run(kNormalPriorityClass));
    ASSERT_TRUE(idle.Run(kNormalPriorityClass));
    EXPECT_EQ(busy.GetCpuUsage(), 0.0);
    EXPECT_EQ(idle.GetCpuUsage(), 0.0);
    // The sleeping program's own start-up (longer under the sanitizers' runtimes) falls before
    // this reading; each reading covers the time since the one before.
    probe::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
    busy.GetCpuUsage();
    idle.GetCpuUsage();
    probe::WaitUntil([] { return false; }, std::chrono::milliseconds(500));
    const double busyUsage = busy.GetCpuUsage();
    const double idleUsage = idle.GetCpuUsage();
    EXPECT_GT(busyUsage, 10.0);
    EXPECT_LE(busyUsage, 100.0);
    EXPECT_LT(idleUsage, 5.0);
    Kill(busy);
    Kill(idle);
    // Gone: CPU time -1, so the usage clamps to 0.
    EXPECT_EQ(busy.GetCpuUsage(), 0.0);
}

TEST(Process, CopiesNeverShareTheProcessHandle) {
    auto job = MakeJob("job_program", "--sleep 20000");
    job.SetShowWindow(0);
    ASSERT_TRUE(job.Run(kNormalPriorityClass));
    {
        CTestJob copy(job);
        EXPECT_EQ(copy.GetProcessInfo().processHandle, -1);
        EXPECT_EQ(copy.GetProcessInfo().processId, 0u);
        EXPECT_EQ(copy.GetCommandLine(), "--sleep 20000");
        EXPECT_EQ(copy.GetProgramPath(), job.GetProgramPath());
        EXPECT_EQ(copy.SetShowWindow(0), 1);
        CTestJob assigned;
        assigned = job;
        EXPECT_EQ(assigned.GetProcessInfo().processHandle, -1);
    }
    // The original's handle still works after the copies are gone.
    EXPECT_FALSE(platform::HasChildExited(job.GetProcessInfo().processHandle));
    Kill(job);
}
