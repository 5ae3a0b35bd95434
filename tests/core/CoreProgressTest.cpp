// How far a run has got, read from a real encoder's position in its input, and the hooks a run
// calls around its jobs.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "CoreTestJob.h"
#include "core/Core.h"
#include "platform/File.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

TEST(CoreProgressTest, JobPercentRisesWhileARealEncoderReadsItsInputAndTheRunCountsItsBytes) {
    TempDir dir;
    const std::string input = dir / "long.wav";
    const std::string output = dir / "long.flac";
    // Noise at the slowest settings keeps flac reading for a few seconds.
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + input +
                           "' synth 20 pinknoise 2>/dev/null")
                              .c_str()),
              0);
    CCoreTestJob job(0, "-s -f -8 -e -p -o \"" + output + "\" \"" + input + "\"");
    job.SetProgramPath("/usr/bin/flac");
    job.SetFiles({}, input, output);
    CCore core;
    core.SetThreadsCount(1);
    ASSERT_TRUE(core.AddJob(&job));
    core.Start();

    double first = -1;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        first = core.GetJobProgress(&job);
        if (first > 0) break;
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_GT(first, 0.0);
    ASSERT_LT(first, 100.0) << "the encoder was too quick to watch";
    std::this_thread::sleep_for(800ms);
    const double second = core.GetJobProgress(&job);
    const CCore::RunProgress run = core.GetRunProgress();
    EXPECT_GT(second, first);
    EXPECT_LE(second, 100.0);
    EXPECT_EQ(run.TotalBytes, platform::GetFileSize(input));
    EXPECT_GT(run.DoneBytes, 0);
    EXPECT_GT(run.Elapsed100ns, 0);

    core.WaitForWorkers();
    EXPECT_EQ(core.GetJobProgress(&job), -1.0);
    const CCore::RunProgress done = core.GetRunProgress();
    EXPECT_EQ(done.DoneBytes, done.TotalBytes);
}

// Declines the decoders whose input names "skip", cannot finish the jobs whose output names
// "unfinished", and notes what the run looked like while AfterJobSucceeded ran.
class CTestHooks : public IJobHooks {
public:
    explicit CTestHooks(CCore& core) : m_core(core) {}
    Decision BeforeJobRun(IProcess* job, std::string* reason) override {
        auto* files = dynamic_cast<IProcessJob*>(job);
        if (files->GetJobInputFile().find("skip") != std::string::npos) {
            *reason = "not wanted";
            return Decision::Decline;
        }
        return Decision::Run;
    }
    bool AfterJobSucceeded(IProcess* job, std::string* reason) override {
        ++m_succeeded;
        std::this_thread::sleep_for(50ms);
        if (m_core.IsRunning()) ++m_whileRunning;
        if (dynamic_cast<IProcessJob*>(job)->GetJobOutputFile().find("unfinished") ==
            std::string::npos) {
            return true;
        }
        *reason = "cannot put it in place";
        return false;
    }
    std::atomic<int> m_succeeded{0};
    std::atomic<int> m_whileRunning{0};

private:
    CCore& m_core;
};

TEST(CoreProgressTest, DeclinedDecoderTakesItsCoderAlongAndSucceededJobsEndAfterTheirHook) {
    TempDir dir;
    CCoreTestJob keptDecoder(1, "--exit 0");
    keptDecoder.SetFiles(dir / "kept.wav", dir / "kept.flac", dir / "kept.wav");
    CCoreTestJob keptCoder(0, "--exit 0", &keptDecoder);
    CCoreTestJob skippedDecoder(1, "--exit 0");
    skippedDecoder.SetFiles(dir / "s.wav", dir / "skip.flac", dir / "s.wav");
    CCoreTestJob skippedCoder(0, "--exit 0", &skippedDecoder);
    CCoreTestJob unfinished(0, "--exit 0");
    unfinished.SetFiles(dir / "u.wav", dir / "u.wav", dir / "unfinished.flac");
    CCore core;
    CTestHooks hooks(core);
    core.SetJobHooks(&hooks);
    core.SetThreadsCount(2);
    for (CCoreTestJob* job :
         {&keptDecoder, &keptCoder, &skippedDecoder, &skippedCoder, &unfinished}) {
        core.AddJob(job);
    }
    core.Start();
    core.WaitForWorkers();
    EXPECT_EQ(skippedDecoder.Runs(), 0);
    EXPECT_EQ(skippedCoder.Runs(), 0);
    for (CCoreTestJob* job : {&skippedDecoder, &skippedCoder}) {
        const ProcessExitStatus status = job->GetExitStatus();
        EXPECT_EQ(status.state, ProcessExitStatus::State::Declined);
        EXPECT_FALSE(status.Failed());
        EXPECT_EQ(status.startError, "not wanted");
    }
    EXPECT_TRUE(keptCoder.GetExitStatus().Succeeded());
    // A program that succeeded, but whose work the hook could not finish, has failed.
    const ProcessExitStatus status = unfinished.GetExitStatus();
    EXPECT_EQ(status.state, ProcessExitStatus::State::Unfinished);
    EXPECT_TRUE(status.Failed());
    EXPECT_EQ(status.startError, "cannot put it in place");
    EXPECT_EQ(hooks.m_succeeded, 3);
    // The run was not over while a job's hook still ran.
    EXPECT_EQ(hooks.m_whileRunning, 3);
}

}  // namespace
