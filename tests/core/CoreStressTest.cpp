#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CoreTestJob.h"
#include "core/Core.h"
#include "core/ProcessPriority.h"
#include "support/TempDir.h"

namespace {

// Processes whose parent is this process: after a run every program must have been collected.
std::vector<int> ChildrenOfThisProcess() {
    const auto self = std::filesystem::read_symlink("/proc/self").filename().string();
    std::vector<int> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const auto name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (probe::StatField(std::stoi(name), 4) == self) children.push_back(std::stoi(name));
    }
    return children;
}

struct Batch {
    std::vector<std::unique_ptr<CCoreTestJob>> jobs;
    std::vector<std::pair<CCoreTestJob*, CCoreTestJob*>> pairs;  // decoder, coder
};

Batch MakeBatch(std::mt19937& random, const std::string& missingProgram) {
    Batch batch;
    const int files = 20 + static_cast<int>(random() % 60);
    for (int i = 0; i < files; ++i) {
        const bool fails = random() % 8 == 0;
        auto decoder = std::make_unique<CCoreTestJob>(1, fails ? "--exit 1" : "");
        if (random() % 25 == 0) decoder->SetProgramPath(missingProgram);
        auto coder = std::make_unique<CCoreTestJob>(0, random() % 10 == 0 ? "--exit 2" : "",
                                                    decoder.get());
        batch.pairs.emplace_back(decoder.get(), coder.get());
        batch.jobs.push_back(std::move(decoder));
        batch.jobs.push_back(std::move(coder));
        if (random() % 4 == 0) batch.jobs.push_back(std::make_unique<CCoreTestJob>(0, ""));
    }
    return batch;
}

void CheckBatch(const Batch& batch, bool stopped) {
    for (const auto& job : batch.jobs) {
        ASSERT_LE(job->Runs(), 1) << "a job ran twice";
        if (!stopped && job->GetKind() == 1) {
            EXPECT_EQ(job->Runs(), 1);
        }
    }
    for (const auto& [decoder, coder] : batch.pairs) {
        if (coder->Runs() == 1) {
            EXPECT_TRUE(decoder->GetExitStatus().Succeeded()) << "coder ran after a failed decoder";
        }
        if (!stopped) {
            EXPECT_EQ(coder->Runs() == 1, decoder->GetExitStatus().Succeeded());
            if (coder->Runs() == 0) {
                EXPECT_EQ(coder->GetExitStatus().state, ProcessExitStatus::State::Skipped);
            }
        }
    }
}

}  // namespace

TEST(CoreStress, ThousandsOfShortJobsWithStopAndPriorityChangesFromOtherThreads) {
    TempDir dir;
    std::mt19937 random(12345);
    CCore sharedCore;
    int totalJobs = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int round = 0; totalJobs < 3000 && std::chrono::steady_clock::now() < deadline; ++round) {
        const Batch batch = MakeBatch(random, dir / "missing");
        totalJobs += static_cast<int>(batch.jobs.size());
        // Mostly one core used run after run; now and then a fresh one.
        auto ownCore = round % 5 == 4 ? std::make_unique<CCore>() : nullptr;
        CCore& core = ownCore ? *ownCore : sharedCore;
        ASSERT_FALSE(core.IsRunning());
        core.SetThreadsCount(1 + static_cast<int>(random() % 8));

        const bool stop = random() % 3 == 0;
        const auto stopAfter = std::chrono::microseconds(random() % 200'000);
        const int priority = static_cast<int>(random() % 3);
        std::atomic<bool> started{false};
        std::atomic<bool> polling{true};

        std::thread adder([&] {
            for (const auto& job : batch.jobs) core.AddJob(job.get());
            core.Start();
            started = true;
        });
        std::thread poller([&] {
            std::vector<IProcess*> running;
            while (polling) {
                core.GetRunningJobs(running);
                for (auto* job : running) job->GetCommandLine();
                const double usage = core.GetCpuUsage();
                EXPECT_GE(usage, 0.0);
                EXPECT_LE(usage, 100.0);
                core.GetStartedCount();
                core.GetJobsCount();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        std::thread controller([&] {
            while (!started) std::this_thread::yield();
            std::this_thread::sleep_for(stopAfter / 2);
            core.SetPriority(PriorityClassForIndex(priority));
            std::this_thread::sleep_for(stopAfter / 2);
            if (stop) core.Stop();
            core.SetPriority(kNormalPriorityClass);
        });
        adder.join();
        controller.join();
        // A round takes seconds; a loaded machine (sanitizers, other tests) may take many times
        // that, so only a round that takes minutes counts as one that never ends.
        const bool ended =
            probe::WaitUntil([&] { return !core.IsRunning(); }, std::chrono::minutes(5));
        polling = false;
        poller.join();
        if (!ended) {
            // The batch's jobs go when this round returns: no worker may still hold one.
            core.Stop();
            core.WaitForWorkers();
        }
        ASSERT_TRUE(ended) << "round " << round << " never ended";
        core.WaitForWorkers();
        EXPECT_TRUE(ChildrenOfThisProcess().empty()) << "a program was left behind";
        CheckBatch(batch, stop);
        if (!stop) {
            EXPECT_EQ(core.GetJobsCount(), 0);
        }
        core.ClearQueue();
    }
    RecordProperty("jobs", totalJobs);
    EXPECT_GE(totalJobs, 500);
}
