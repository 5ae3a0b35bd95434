#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "core/ICore.h"
#include "core/ProcessExitStatus.h"
#include "core/ProcessPriority.h"

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
    bool MarkStarted(const Launch& launch, int* pidfd);
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
};
