#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "CoreTestJob.h"
#include "core/CommandLine.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "core/TempFileName.h"
#include "platform/ChildProcess.h"
#include "platform/Processors.h"
#include "support/TempDir.h"

namespace {

using State = ProcessExitStatus::State;

struct Span {
    long long start = -1;
    long long end = -1;
};

std::map<std::string, Span> ReadRecord(const std::string& path) {
    std::map<std::string, Span> spans;
    std::istringstream in(probe::ReadText(path));
    std::string label, what;
    long long time = 0;
    while (in >> label >> what >> time) {
        (what == "start" ? spans[label].start : spans[label].end) = time;
    }
    return spans;
}

int MaxOverlap(const std::map<std::string, Span>& spans) {
    std::vector<std::pair<long long, int>> events;
    for (const auto& [label, span] : spans) {
        events.emplace_back(span.start, 1);
        events.emplace_back(span.end, -1);
    }
    std::sort(events.begin(), events.end());  // an end sorts before a start at the same time
    int running = 0, most = 0;
    for (const auto& event : events) most = std::max(most, running += event.second);
    return most;
}

std::string Q(const std::string& text) { return QuoteCommandLineArgument(text); }

// Record a run under label in file, then the rest of the options.
std::string Recorded(const std::string& file, const std::string& label, const std::string& rest) {
    return "--record " + Q(file) + " " + label + " " + rest;
}

void WaitForRunEnd(CCore& core) {
    ASSERT_TRUE(probe::WaitUntil([&] { return !core.IsRunning(); }, std::chrono::seconds(30)));
    core.WaitForWorkers();
}

class CoreTest : public ::testing::Test {
protected:
    CCoreTestJob* Decoder(const std::string& commandLine) {
        m_jobs.push_back(std::make_unique<CCoreTestJob>(1, commandLine));
        return m_jobs.back().get();
    }
    CCoreTestJob* Coder(const std::string& commandLine, IProcess* decoder = nullptr) {
        m_jobs.push_back(std::make_unique<CCoreTestJob>(0, commandLine, decoder));
        return m_jobs.back().get();
    }

    TempDir m_dir;
    std::string m_record = m_dir / "record";
    std::vector<std::unique_ptr<CCoreTestJob>> m_jobs;
    CCore m_core;  // destroyed before the jobs: it waits for its workers first

    void TearDown() override { m_core.WaitForWorkers(); }
};

}  // namespace

TEST_F(CoreTest, ThreeFilesOnTwoSlotsRunInQueueOrderAsFarAsDecodersAllow) {
    // The order is forced by events, not by sleeps: Xd lasts until Yd has started, Xc until
    // Zc has started. A core that kept the wrong order would leave them waiting (20 s at
    // most) and the recorded spans would show it.
    const std::string ydStarted = m_dir / "yd-started";
    const std::string zcStarted = m_dir / "zc-started";
    auto* xd = Decoder(Recorded(m_record, "Xd", "--wait-for " + Q(ydStarted)));
    auto* xc = Coder(Recorded(m_record, "Xc", "--wait-for " + Q(zcStarted)), xd);
    auto* yd = Decoder(Recorded(m_record, "Yd", "--write " + Q(ydStarted) + " 0 --sleep 100"));
    auto* yc = Coder(Recorded(m_record, "Yc", "--sleep 50"), yd);
    auto* zc = Coder(Recorded(m_record, "Zc", "--write " + Q(zcStarted) + " 0"));
    EXPECT_EQ(m_core.SetThreadsCount(2), 2);
    for (auto* job : {xd, xc, yd, yc, zc}) ASSERT_TRUE(m_core.AddJob(job));
    EXPECT_EQ(m_core.GetJobsCount(), 5);
    ASSERT_TRUE(m_core.Start());
    EXPECT_TRUE(m_core.IsRunning());
    EXPECT_EQ(m_core.SetThreadsCount(4), 1);  // refused while running
    WaitForRunEnd(m_core);

    const auto spans = ReadRecord(m_record);
    ASSERT_EQ(spans.size(), 5u);
    EXPECT_LE(MaxOverlap(spans), 2);
    // Start passes over Xc while Xd runs and launches Yd instead.
    EXPECT_LT(spans.at("Yd").start, spans.at("Xc").start);
    EXPECT_GE(spans.at("Xc").start, spans.at("Xd").end);
    EXPECT_GE(spans.at("Yc").start, spans.at("Yd").end);
    // Z waits until a slot is free and nothing ahead of it can start: after Yc ended.
    EXPECT_GE(spans.at("Zc").start, spans.at("Yc").end);
    EXPECT_LT(spans.at("Zc").start, spans.at("Xc").end);
    for (auto* job : {xd, xc, yd, yc, zc}) {
        EXPECT_EQ(job->Runs(), 1);
        EXPECT_TRUE(job->GetExitStatus().Succeeded());
    }
    EXPECT_EQ(m_core.GetStartedCount(), 5);
    EXPECT_EQ(m_core.GetLaunchedCount(), 5);
    EXPECT_EQ(m_core.GetJobsCount(), 0);
    EXPECT_EQ(m_core.SetThreadsCount(4), 4);
}

TEST_F(CoreTest, OneSlotRunsEverythingInQueueOrderFourSlotsOverlap) {
    std::vector<CCoreTestJob*> jobs;
    for (int i = 0; i < 3; ++i) {
        auto* decoder = Decoder(Recorded(m_record, "d" + std::to_string(i), "--sleep 30"));
        jobs.push_back(decoder);
        jobs.push_back(Coder(Recorded(m_record, "c" + std::to_string(i), "--sleep 30"), decoder));
    }
    m_core.SetThreadsCount(1);
    for (auto* job : jobs) m_core.AddJob(job);
    m_core.Start();
    WaitForRunEnd(m_core);
    auto spans = ReadRecord(m_record);
    ASSERT_EQ(spans.size(), 6u);
    EXPECT_EQ(MaxOverlap(spans), 1);
    const std::vector<std::string> order = {"d0", "c0", "d1", "c1", "d2", "c2"};
    for (std::size_t i = 1; i < order.size(); ++i) {
        EXPECT_GE(spans.at(order[i]).start, spans.at(order[i - 1]).end) << order[i];
    }

    const std::string second = m_dir / "second";
    for (int i = 0; i < 8; ++i) m_core.AddJob(Decoder(Recorded(second, "j" + std::to_string(i), "--sleep 400")));
    m_core.SetThreadsCount(4);
    m_core.Start();
    EXPECT_EQ(m_core.GetLaunchedCount(), 4);
    WaitForRunEnd(m_core);
    spans = ReadRecord(second);
    ASSERT_EQ(spans.size(), 8u);
    EXPECT_EQ(MaxOverlap(spans), 4);
    EXPECT_EQ(m_core.GetStartedCount(), 8);
}

TEST_F(CoreTest, ExitStatusAndSignalAreKeptOnTheJob) {
    auto* fails = Decoder("--exit 3");
    auto* ok = Coder("");
    m_core.SetThreadsCount(2);
    m_core.AddJob(fails);
    m_core.AddJob(ok);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(fails->GetExitStatus().state, State::Exited);
    EXPECT_EQ(fails->GetExitStatus().exitCode, 3);
    EXPECT_TRUE(fails->GetExitStatus().Failed());
    EXPECT_TRUE(ok->GetExitStatus().Succeeded());
    // The handle is released once the job is collected; the meter then reads it as gone.
    EXPECT_EQ(fails->GetProcessInfo().processHandle, -1);
    EXPECT_EQ(fails->GetCpuUsage(), 0.0);
}

TEST_F(CoreTest, CoderOfAFailedDecoderDoesNotRunAndTheTemporaryWaveGoes) {
    const auto wave = MakeTempFileName(m_dir.Path().string(), ".wav");
    const auto source = m_dir / "song.flac";
    WriteFileBytes(source, "source");
    auto* decoder = Decoder("--write " + Q(wave) + " 100 --exit 1");
    decoder->SetFiles(wave, source, wave);
    auto* coder = Coder(Recorded(m_record, "coder", ""), decoder);
    coder->SetFiles(wave, wave, m_dir / "song.mp3");
    auto* next = Coder(Recorded(m_record, "next", ""));
    m_core.SetThreadsCount(1);
    for (auto* job : {decoder, coder, next}) m_core.AddJob(job);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(coder->Runs(), 0);
    EXPECT_EQ(coder->GetExitStatus().state, State::Skipped);
    EXPECT_TRUE(coder->GetExitStatus().Failed());
    EXPECT_FALSE(std::filesystem::exists(wave));
    EXPECT_TRUE(std::filesystem::exists(source));
    EXPECT_EQ(ReadRecord(m_record).count("next"), 1u);
    ReleaseTempFileName(wave);
}

TEST_F(CoreTest, ProgramThatCannotStartLeavesTheQueueAndItsCoderIsSkipped) {
    auto* missing = Decoder("");
    missing->SetProgramPath(m_dir / "no such decoder");
    auto* coder = Coder(Recorded(m_record, "coder", ""), missing);
    auto* other = Decoder(Recorded(m_record, "other", ""));
    m_core.SetThreadsCount(2);
    for (auto* job : {missing, coder, other}) m_core.AddJob(job);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(missing->Runs(), 1);
    EXPECT_EQ(missing->GetExitStatus().state, State::NotStarted);
    EXPECT_EQ(coder->GetExitStatus().state, State::Skipped);
    EXPECT_EQ(coder->Runs(), 0);
    EXPECT_EQ(ReadRecord(m_record).size(), 1u);
    EXPECT_EQ(m_core.GetStartedCount(), 1);
    EXPECT_EQ(m_core.GetJobsCount(), 0);

    // Nothing but a program that cannot start: the run still ends.
    m_core.AddJob(missing);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(missing->Runs(), 2);
}

TEST_F(CoreTest, StartWithNothingLaunchableEndsAtOnce) {
    m_core.SetThreadsCount(2);
    EXPECT_TRUE(m_core.Start());
    EXPECT_FALSE(m_core.IsRunning());
    EXPECT_EQ(m_core.GetJobsCount(), 0);

    CCore noSlots;
    auto* job = Decoder("");
    noSlots.AddJob(job);
    EXPECT_TRUE(noSlots.Start());
    EXPECT_FALSE(noSlots.IsRunning());
    EXPECT_EQ(job->Runs(), 0);
    EXPECT_FALSE(m_core.AddJob(nullptr));
}

TEST_F(CoreTest, StopEndsRunningProgramsWithTheirChildrenAndCleansUp) {
    const auto wave = MakeTempFileName(m_dir.Path().string(), ".wav");
    const auto source = m_dir / "song.flac";
    WriteFileBytes(source, "source");
    auto* decoder = Decoder("--write " + Q(wave) + " 100 --grandchild " + Q(m_dir / "gc") +
                            " --pid-file " + Q(m_dir / "pid") + " --sleep 30000");
    decoder->SetFiles(wave, source, wave);
    auto* coder = Coder(Recorded(m_record, "coder", ""), decoder);
    coder->SetFiles(wave, wave, m_dir / "song.mp3");
    // A WAV source coded in place would name its source as output: never deleted.
    const auto wavSource = m_dir / "other.wav";
    WriteFileBytes(wavSource, "riff");
    auto* inPlace = Coder("--write " + Q(wavSource) + " 10 --sleep 30000");
    inPlace->SetFiles("", wavSource, wavSource);
    auto* partial = Coder("--write " + Q(m_dir / "partial.mp3") + " 10 --sleep 30000");
    partial->SetFiles("", m_dir / "x.wav", m_dir / "partial.mp3");
    auto* queued = Decoder(Recorded(m_record, "queued", ""));

    m_core.SetThreadsCount(3);
    for (auto* job : {decoder, coder, inPlace, partial, queued}) m_core.AddJob(job);
    m_core.Start();
    const int pid = probe::WaitForPidFile(m_dir / "pid");
    const int grandchild = probe::WaitForPidFile(m_dir / "gc");
    ASSERT_TRUE(probe::WaitUntil([&] {
        return std::filesystem::exists(m_dir / "partial.mp3") && std::filesystem::exists(wave);
    }));
    std::vector<IProcess*> running;
    EXPECT_TRUE(probe::WaitUntil([&] {
        m_core.GetRunningJobs(running);
        return running.size() == 3u;
    }));

    EXPECT_TRUE(m_core.Stop());
    EXPECT_FALSE(m_core.IsRunning());
    EXPECT_EQ(m_core.GetJobsCount(), 0);
    EXPECT_EQ(m_core.GetStartedCount(), 0);
    EXPECT_EQ(m_core.GetLaunchedCount(), 0);
    m_core.WaitForWorkers();

    EXPECT_TRUE(probe::IsGone(pid));
    EXPECT_TRUE(probe::WaitUntil([&] { return probe::IsGone(grandchild); }));
    for (auto* job : {decoder, inPlace, partial}) {
        EXPECT_EQ(job->GetExitStatus().state, State::Signalled);
        EXPECT_EQ(job->GetExitStatus().signal, 9);
        EXPECT_TRUE(job->GetExitStatus().terminated);
    }
    EXPECT_EQ(coder->Runs(), 0);
    EXPECT_EQ(queued->Runs(), 0);
    EXPECT_FALSE(std::filesystem::exists(wave));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "partial.mp3"));
    EXPECT_TRUE(std::filesystem::exists(wavSource));
    EXPECT_TRUE(std::filesystem::exists(source));
    EXPECT_FALSE(std::filesystem::exists(m_record));
    running.clear();
    m_core.GetRunningJobs(running);
    EXPECT_TRUE(running.empty());
    ReleaseTempFileName(wave);
}

TEST_F(CoreTest, StopDeletesTheTemporaryInputOfACoderThatWillNotRun) {
    const auto wave = MakeTempFileName(m_dir.Path().string(), ".wav");
    auto* decoder = Decoder("--write " + Q(wave) + " 100");
    decoder->SetFiles(wave, m_dir / "a.flac", wave);
    auto* blocker = Decoder("--pid-file " + Q(m_dir / "pid") + " --sleep 30000");
    auto* coder = Coder("", decoder);
    coder->SetFiles(wave, wave, m_dir / "a.mp3");
    m_core.SetThreadsCount(1);
    for (auto* job : {decoder, blocker, coder}) m_core.AddJob(job);
    m_core.Start();
    probe::WaitForPidFile(m_dir / "pid");
    ASSERT_TRUE(std::filesystem::exists(wave));
    EXPECT_TRUE(m_core.Stop());
    EXPECT_FALSE(std::filesystem::exists(wave));
    m_core.WaitForWorkers();
    EXPECT_EQ(coder->Runs(), 0);
    ReleaseTempFileName(wave);
}

TEST_F(CoreTest, CoderDeletesItsTemporaryInputAfterCoding) {
    const auto wave = m_dir / "kelTEMP.wav";
    auto* decoder = Decoder("--write " + Q(wave) + " 100");
    decoder->SetFiles(wave, m_dir / "a.flac", wave);
    auto* coder = Coder("--write " + Q(m_dir / "a.mp3") + " 10", decoder);
    coder->SetFiles(wave, wave, m_dir / "a.mp3");
    m_core.SetThreadsCount(2);
    m_core.AddJob(decoder);
    m_core.AddJob(coder);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_FALSE(std::filesystem::exists(wave));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "a.mp3"));
}

TEST_F(CoreTest, PriorityChangesReachRunningAndLaterPrograms) {
    const bool privileged = probe::CanRaisePriority();
    auto* first = Decoder("--pid-file " + Q(m_dir / "first") + " --sleep 30000");
    auto* second = Decoder("--pid-file " + Q(m_dir / "second") + " --sleep 30000");
    m_core.SetThreadsCount(1);
    m_core.AddJob(first);
    m_core.AddJob(second);
    m_core.Start();
    const int pid = probe::WaitForPidFile(m_dir / "first");
    EXPECT_EQ(probe::Nice(pid), 0);
    m_core.SetPriority(kIdlePriorityClass);
    EXPECT_EQ(probe::Nice(pid), 19);
    m_core.SetPriority(kHighPriorityClass);
    // Without the privilege a nice value cannot go down again.
    EXPECT_EQ(probe::Nice(pid), privileged ? -10 : 19);
    m_core.SetPriority(kIdlePriorityClass);

    platform::KillChildGroup(pid, first->GetProcessInfo().processHandle);
    const int next = probe::WaitForPidFile(m_dir / "second");
    EXPECT_EQ(probe::Nice(next), 19);
    m_core.Stop();
}

TEST_F(CoreTest, CpuUsageIsWhatTheRunningProgramsTakeOfAllProcessors) {
    // Two runs side by side: a busy program in one, a sleeping one in the other.
    CCore sleepingRun;
    auto* busy = Decoder("--pid-file " + Q(m_dir / "busy") + " --busy 20000");
    auto* sleeping = Decoder("--pid-file " + Q(m_dir / "sleeping") + " --sleep 20000");
    for (auto [core, job] : {std::pair{&m_core, busy}, std::pair{&sleepingRun, sleeping}}) {
        core->SetThreadsCount(1);
        core->AddJob(job);
        core->Start();
    }
    const int busyPid = probe::WaitForPidFile(m_dir / "busy");
    probe::WaitForPidFile(m_dir / "sleeping");
    // What the busy program took, read by the test itself: user and system time.
    const auto busySeconds = [busyPid] {
        return (std::stod(probe::StatField(busyPid, 14)) +
                std::stod(probe::StatField(busyPid, 15))) /
               static_cast<double>(sysconf(_SC_CLK_TCK));
    };
    const auto pause = [](int milliseconds) {
        probe::WaitUntil([] { return false; }, std::chrono::milliseconds(milliseconds));
    };
    // Each reading covers the time since the one before; the programs' start-up is left out.
    pause(300);
    m_core.GetCpuUsage();
    sleepingRun.GetCpuUsage();
    const double busyBefore = busySeconds();
    const auto start = std::chrono::steady_clock::now();
    pause(1000);
    const double busyUsage = m_core.GetCpuUsage();
    const double busyTaken = busySeconds() - busyBefore;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double sleepingUsage = sleepingRun.GetCpuUsage();

    // A share of all processors together: however loaded the machine, the same as the test's
    // own reading of the same second.
    const double expected = busyTaken / elapsed.count() * 100.0 / platform::ProcessorCount();
    EXPECT_NEAR(busyUsage, expected, 3.0 + expected / 5);
    EXPECT_GT(busyUsage, 2.0);
    EXPECT_LT(sleepingUsage, 1.0);
    for (CCore* core : {&m_core, &sleepingRun}) {
        core->Stop();
        WaitForRunEnd(*core);
    }
    // Nothing runs any more.
    EXPECT_EQ(m_core.GetCpuUsage(), 0.0);
}

TEST_F(CoreTest, CoderThatCannotStartStillGivesBackItsTemporaryInput) {
    const auto wave = MakeTempFileName(m_dir.Path().string(), ".wav");
    auto* decoder = Decoder("--write " + Q(wave) + " 100");
    decoder->SetFiles(wave, m_dir / "a.flac", wave);
    auto* coder = Coder("", decoder);
    coder->SetProgramPath(m_dir / "no such coder");
    coder->SetFiles(wave, wave, m_dir / "a.mp3");
    m_core.SetThreadsCount(1);
    m_core.AddJob(decoder);
    m_core.AddJob(coder);
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(decoder->GetExitStatus().state, State::Exited);
    EXPECT_EQ(coder->GetExitStatus().state, State::NotStarted);
    EXPECT_FALSE(std::filesystem::exists(wave));
    ReleaseTempFileName(wave);
}

TEST_F(CoreTest, ExitStatusIsReadEvenWhenKeltoWasStartedWithChildSignalsIgnored) {
    // Whoever starts kelto may leave SIGCHLD ignored; the kernel would then reap every job
    // itself and each would look failed.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &previous);
    auto* ok = Decoder("--exit 0");
    auto* failing = Decoder("--exit 3");
    m_core.SetThreadsCount(2);
    m_core.AddJob(ok);
    m_core.AddJob(failing);
    m_core.Start();
    WaitForRunEnd(m_core);
    sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_TRUE(ok->GetExitStatus().Succeeded());
    EXPECT_EQ(failing->GetExitStatus().exitCode, 3);
}

TEST_F(CoreTest, JobsAddedAfterStopWaitForTheNextStart) {
    auto* sleeper = Decoder("--pid-file " + Q(m_dir / "pid") + " --sleep 30000");
    m_core.SetThreadsCount(1);
    m_core.AddJob(sleeper);
    m_core.Start();
    probe::WaitForPidFile(m_dir / "pid");
    EXPECT_TRUE(m_core.Stop());
    auto* late = Decoder(Recorded(m_record, "late", ""));
    m_core.AddJob(late);
    m_core.WaitForWorkers();
    EXPECT_EQ(late->Runs(), 0);
    EXPECT_FALSE(m_core.IsRunning());
    m_core.Start();
    WaitForRunEnd(m_core);
    EXPECT_EQ(late->Runs(), 1);
}
