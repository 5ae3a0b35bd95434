#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/ICore.h"
#include "core/IJobHooks.h"
#include "core/ProcessExitStatus.h"
#include "core/ProcessPriority.h"
#include "platform/OpenFilePosition.h"

// Runs a batch of jobs: a queue, a fixed number of slots for jobs that run at the same time and
// worker threads that start the programs and wait for them. A coder never starts while the
// decoder that writes its input is queued or running, and does not run at all when that decoder
// failed. The core owns no job: every job must live until the run is over and no worker holds
// it (WaitForWorkers).
//
// A free slot is an empty slot entry; there is no marker job. One lock guards the queue, the
// slots, the counters and the running flag; it is never held across a program's start or the
// wait for its end. A program is collected (reaped) only under that lock, which Stop and
// SetPriority also hold while they signal or re-prioritise, so they never reach a process id
// that was collected and may have been reused.
//
// A worker thread that finishes a job goes on with the next launchable job of the queue itself
// instead of handing it to a new thread; each finished job still makes room for at most one
// launch.
class CCore final : public ICore {
public:
    CCore() = default;
    // Waits for the workers; it does not stop running jobs.
    ~CCore();
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    bool Start() override;
    bool AddJob(IProcess* job) override;
    void ClearQueue() override;
    bool Stop() override;
    void SetPriority(int priorityClass) override;
    int SetThreadsCount(int count) override;
    double GetCpuUsage() override;
    int GetStartedCount() override;
    int GetLaunchedCount() override;
    int GetJobsCount() override;
    void GetRunningJobs(std::vector<IProcess*>& list) override;
    bool IsRunning() override;

    // Blocks until no worker holds a job any more (after the run ended or after Stop).
    void WaitForWorkers();

    // The hooks called around every job of the following runs (null: none). Lent; set only
    // while no run goes on.
    void SetJobHooks(IJobHooks* hooks) { m_hooks = hooks; }

    // How far a job has got: the position of its program in its input file over the input's
    // size, in percent (0 ... 100); 100 once its program has ended, 0 before it started, and -1
    // when it is not running or has no input file to measure. Read from the program's open
    // descriptor, so it works for any program that reads its input in order.
    double GetJobProgress(IProcess* job);
    // The run's share: every job of the run weighs the size of the file its work starts from
    // (a coder fed by a decoder weighs the decoder's input); finished jobs count whole, running
    // ones by their GetJobProgress.
    // Each running job's GetJobProgress comes with it, read in the same pass.
    struct RunProgress {
        std::int64_t DoneBytes = 0;
        std::int64_t TotalBytes = 0;
        std::int64_t Elapsed100ns = 0;  // since the last Start
        std::vector<std::pair<IProcess*, double>> JobPercents;

        // The job's percentage as GetJobProgress gives it; -1 for a job not running.
        double PercentOf(const IProcess* job) const {
            for (const auto& [running, percent] : JobPercents)
                if (running == job) return percent;
            return -1.0;
        }
    };
    RunProgress GetRunProgress();

private:
    struct Slot {
        IProcess* job = nullptr;  // null: the slot is free
        bool started = false;     // the program runs (or ran); pid and pidfd are valid
        bool reaped = false;      // collected: never signal pid again
        bool stopRequested = false;
        bool killed = false;
        int pid = 0;
        int pidfd = -1;
        bool ownHandle = false;  // pidfd opened by the core, closed by it
        platform::FileIdentity input;  // the file whose reading measures the job's progress
        double fraction = 0.0;     // the last progress read, 0 ... 1
    };
    struct Launch {
        std::size_t slot = 0;
        IProcess* job = nullptr;
        int priorityClass = kNormalPriorityClass;
    };

    // Under the lock.
    bool LaunchNext(Launch* launch);
    bool IsPending(IProcess* job) const;
    bool HasFreeSlot(std::size_t* index) const;
    bool AnySlotBusy() const;
    void TakeFinishedThreads(std::vector<std::thread>* finished);

    void WorkerMain(Launch launch);
    // Runs the job in its slot up to its collection; the files to delete afterwards are added.
    void RunJob(const Launch& launch, std::vector<std::string>* deletions);
    bool MarkStarted(const Launch& launch, int* pidfd, const platform::FileIdentity& input);
    // Under the lock: the slot's progress, 0 ... 1, or -1 when it cannot be measured.
    double ReadFraction(Slot& slot);
    // Under the lock: the job is over (run, failed, declined or passed over).
    void CountDone(IProcess* job);
    ProcessExitStatus Collect(const Launch& launch, int pidfd);

    std::mutex m_mutex;
    std::condition_variable m_workersDone;
    std::vector<Slot> m_slots;
    std::deque<IProcess*> m_queue;
    std::unordered_set<IProcess*> m_queued;  // the jobs of m_queue, for quick lookup
    int m_threadsCount = 0;
    int m_priorityClass = kNormalPriorityClass;
    int m_startedCount = 0;
    int m_launchedCount = 0;
    int m_total = 0;
    bool m_running = false;
    int m_activeWorkers = 0;
    std::vector<std::thread> m_threads;
    std::vector<std::thread::id> m_finishedThreads;
    IJobHooks* m_hooks = nullptr;
    std::unordered_map<IProcess*, std::int64_t> m_jobBytes;  // the weight of every job of the run
    std::int64_t m_doneBytes = 0;
    std::int64_t m_totalBytes = 0;
    std::int64_t m_startTime = 0;
};
