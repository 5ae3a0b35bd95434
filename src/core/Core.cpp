#include "core/Core.h"

#include <algorithm>
#include <system_error>

#include "core/IProcessJob.h"
#include "core/Process.h"
#include "core/TempFileName.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/CpuTime.h"
#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "platform/OpenFilePosition.h"

namespace {

constexpr int kCoderKind = 0;
constexpr int kDecoderKind = 1;

IProcess* DecoderOf(IProcess* job) {
    auto* files = dynamic_cast<IProcessJob*>(job);
    return files != nullptr ? files->GetDecoderJob() : nullptr;
}

void SetStatus(IProcess* job, const ProcessExitStatus& status) {
    if (auto* process = dynamic_cast<CProcess*>(job)) process->SetExitStatus(status);
}

bool HasFailed(IProcess* job) {
    auto* process = dynamic_cast<CProcess*>(job);
    return process != nullptr && process->GetExitStatus().Failed();
}

bool IsDeclined(IProcess* job) {
    auto* process = dynamic_cast<CProcess*>(job);
    return process != nullptr &&
           process->GetExitStatus().state == ProcessExitStatus::State::Declined;
}

// The file the job's work starts from: a coder's decoder's input, else the job's own input.
std::string SourceOf(IProcess* job, IProcessJob* files) {
    if (auto* decoder = dynamic_cast<IProcessJob*>(DecoderOf(job))) {
        return decoder->GetJobInputFile();
    }
    return files->GetJobInputFile();
}

bool IsSource(const std::string& path, const std::string& source) {
    return !source.empty() && (path == source || platform::IsSameFile(path, source));
}

// A coder's temporary input goes after its run; a failed or stopped decoder's temporary output
// goes because no coder may read it; a stopped job's partial output goes because it would look
// finished. A job's own source file is never deleted.
void CollectDeletions(IProcess* job, const ProcessExitStatus& status,
                      std::vector<std::string>* deletions) {
    auto* files = dynamic_cast<IProcessJob*>(job);
    if (files == nullptr) return;
    const std::string source = SourceOf(job, files);
    auto add = [&](const std::string& path) {
        if (!path.empty() && !IsSource(path, source)) deletions->push_back(path);
    };
    const std::string wave = files->GetJobWaveFile();
    const int kind = job->GetKind();
    if (kind == kCoderKind) add(wave);
    if (kind == kDecoderKind && status.Failed() && IsTempFileNameHeld(wave)) add(wave);
    if (status.terminated) add(files->GetJobOutputFile());
}

// A queued coder that will not run now: the temporary WAV its decoder already wrote would be
// left behind in the temporary folder.
void CollectOrphanedInput(IProcess* job, std::vector<std::string>* deletions) {
    auto* files = dynamic_cast<IProcessJob*>(job);
    if (files == nullptr || job->GetKind() != kCoderKind) return;
    const std::string wave = files->GetJobWaveFile();
    if (!wave.empty() && IsTempFileNameHeld(wave) && !IsSource(wave, SourceOf(job, files))) {
        deletions->push_back(wave);
    }
}

void DeleteFiles(std::vector<std::string>* paths) {
    for (const auto& path : *paths) {
        if (platform::EntryExists(path)) platform::RemoveFile(path);
    }
    paths->clear();
}

// The weight of each job in the run's share: the size of the file its work starts from.
std::unordered_map<IProcess*, std::int64_t> WeighJobs(const std::vector<IProcess*>& jobs) {
    std::unordered_map<IProcess*, std::int64_t> weights;
    for (IProcess* job : jobs) {
        auto* files = dynamic_cast<IProcessJob*>(job);
        const std::int64_t size = files ? platform::GetFileSize(SourceOf(job, files)) : -1;
        weights[job] = std::max<std::int64_t>(size, 0);
    }
    return weights;
}

void JoinAll(std::vector<std::thread>* threads) {
    for (auto& thread : *threads) thread.join();
    threads->clear();
}

}  // namespace

CCore::~CCore() { WaitForWorkers(); }

bool CCore::Start() {
    std::vector<std::thread> finished;
    std::vector<IProcess*> queued;
    {
        std::lock_guard lock(m_mutex);
        queued.assign(m_queue.begin(), m_queue.end());
    }
    // The sizes are read without the lock: workers of a stopped run may still be ending.
    std::unordered_map<IProcess*, std::int64_t> weights = WeighJobs(queued);
    {
        std::lock_guard lock(m_mutex);
        TakeFinishedThreads(&finished);
        m_jobBytes = std::move(weights);
        m_doneBytes = 0;
        m_totalBytes = 0;
        for (const auto& [job, bytes] : m_jobBytes) m_totalBytes += bytes;
        m_startTime = platform::MonotonicTime100ns();
        m_startedCount = 0;
        m_launchedCount = 0;
        m_total = static_cast<int>(m_queue.size());
        m_running = true;
        Launch launch;
        while (LaunchNext(&launch)) {
            try {
                m_threads.emplace_back(&CCore::WorkerMain, this, launch);
                ++m_activeWorkers;
            } catch (const std::system_error&) {
                // No thread for it: the job goes back to the head of the queue.
                m_slots[launch.slot] = Slot{};
                m_queue.push_front(launch.job);
                m_queued.insert(launch.job);
                --m_launchedCount;
                break;
            }
        }
        // Nothing could be launched: the run is over before it began.
        if (!AnySlotBusy()) m_running = false;
    }
    JoinAll(&finished);
    return true;
}

bool CCore::AddJob(IProcess* job) {
    if (job == nullptr) return false;
    std::lock_guard lock(m_mutex);
    // A job queued or running already would otherwise be launched twice at once.
    if (IsPending(job)) return false;
    SetStatus(job, ProcessExitStatus{});
    m_queue.push_back(job);
    m_queued.insert(job);
    return true;
}

void CCore::ClearQueue() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_queued.clear();
}

bool CCore::Stop() {
    std::deque<IProcess*> dropped;
    bool ok = true;
    {
        std::lock_guard lock(m_mutex);
        m_startedCount = 0;
        m_launchedCount = 0;
        m_total = 0;
        dropped.swap(m_queue);
        m_queued.clear();
        for (auto& slot : m_slots) {
            if (slot.job == nullptr || slot.reaped) continue;
            slot.stopRequested = true;
            if (!slot.started) continue;  // its worker ends it as soon as it has started
            if (platform::KillChildGroup(slot.pid, slot.pidfd)) {
                slot.killed = true;
            } else {
                ok = false;
            }
        }
        m_running = !ok;
    }
    if (m_hooks != nullptr) m_hooks->OnStop();
    std::vector<std::string> deletions;
    for (IProcess* job : dropped) CollectOrphanedInput(job, &deletions);
    DeleteFiles(&deletions);
    return ok;
}

void CCore::SetPriority(int priorityClass) {
    std::lock_guard lock(m_mutex);
    m_priorityClass = priorityClass;
    for (const auto& slot : m_slots) {
        if (slot.job != nullptr && slot.started && !slot.reaped) {
            platform::SetChildGroupNice(slot.pid, NiceForPriorityClass(priorityClass));
        }
    }
}

int CCore::SetThreadsCount(int count) {
    std::lock_guard lock(m_mutex);
    if (m_running) return 1;
    m_threadsCount = count;
    const auto size = static_cast<std::size_t>(std::max(count, 0));
    if (!AnySlotBusy()) {
        m_slots.assign(size, Slot{});
    } else if (size > m_slots.size()) {
        // Stopped jobs still finishing keep their entries; the list shrinks when they are gone.
        m_slots.resize(size);
    }
    return count;
}

double CCore::GetCpuUsage() {
    std::lock_guard lock(m_mutex);
    double sum = 0.0;
    // Under the lock: the jobs cannot be collected meanwhile, so their process ids are theirs.
    for (const auto& slot : m_slots) {
        if (slot.job != nullptr && slot.started && !slot.reaped) sum += slot.job->GetCpuUsage();
    }
    return std::clamp(sum / platform::ProcessorCount(), 0.0, 100.0);
}

int CCore::GetStartedCount() {
    std::lock_guard lock(m_mutex);
    return m_startedCount;
}

int CCore::GetLaunchedCount() {
    std::lock_guard lock(m_mutex);
    return m_launchedCount;
}

int CCore::GetJobsCount() {
    std::lock_guard lock(m_mutex);
    return m_running ? m_total : static_cast<int>(m_queue.size());
}

void CCore::GetRunningJobs(std::vector<IProcess*>& list) {
    std::lock_guard lock(m_mutex);
    list.clear();
    for (const auto& slot : m_slots) {
        if (slot.job != nullptr && slot.started) list.push_back(slot.job);
    }
}

bool CCore::IsRunning() {
    std::lock_guard lock(m_mutex);
    return m_running;
}

void CCore::WaitForWorkers() {
    std::vector<std::thread> threads;
    {
        std::unique_lock lock(m_mutex);
        m_workersDone.wait(lock, [this] { return m_activeWorkers == 0; });
        threads = std::move(m_threads);
        m_threads.clear();
        m_finishedThreads.clear();
    }
    JoinAll(&threads);
}

bool CCore::LaunchNext(Launch* launch) {
    std::size_t slot = 0;
    if (!HasFreeSlot(&slot)) return false;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        IProcess* job = *it;
        const int kind = job->GetKind();
        if (kind != kCoderKind && kind != kDecoderKind) {
            ++it;
            continue;
        }
        if (kind == kCoderKind) {
            IProcess* decoder = DecoderOf(job);
            if (decoder != nullptr && IsPending(decoder)) {
                ++it;
                continue;
            }
            const bool declined = decoder != nullptr && IsDeclined(decoder);
            if (decoder != nullptr && (HasFailed(decoder) || declined)) {
                // Its input is missing or partial: the coder does not run and counts as failed,
                // or, when its decoder was turned down, as turned down for the same reason.
                ProcessExitStatus skipped;
                skipped.state = ProcessExitStatus::State::Skipped;
                if (declined) skipped = dynamic_cast<CProcess*>(decoder)->GetExitStatus();
                SetStatus(job, skipped);
                CountDone(job);
                m_queued.erase(job);
                it = m_queue.erase(it);
                continue;
            }
        }
        m_queued.erase(job);
        m_queue.erase(it);
        m_slots[slot] = Slot{};
        m_slots[slot].job = job;
        ++m_launchedCount;
        *launch = Launch{slot, job, m_priorityClass};
        return true;
    }
    return false;
}

bool CCore::IsPending(IProcess* job) const {
    if (m_queued.count(job) != 0) return true;
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [job](const Slot& slot) { return slot.job == job; });
}

bool CCore::HasFreeSlot(std::size_t* index) const {
    const auto count = std::min(m_slots.size(), static_cast<std::size_t>(std::max(m_threadsCount, 0)));
    for (std::size_t i = 0; i < count; ++i) {
        if (m_slots[i].job == nullptr) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool CCore::AnySlotBusy() const {
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [](const Slot& slot) { return slot.job != nullptr; });
}

void CCore::TakeFinishedThreads(std::vector<std::thread>* finished) {
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        const auto done = std::find(m_finishedThreads.begin(), m_finishedThreads.end(), it->get_id());
        if (done == m_finishedThreads.end()) {
            ++it;
            continue;
        }
        m_finishedThreads.erase(done);
        finished->push_back(std::move(*it));
        it = m_threads.erase(it);
    }
}

void CCore::WorkerMain(Launch launch) {
    std::vector<std::string> deletions;
    for (;;) {
        RunJob(launch, &deletions);
        // Before the slot is freed: when the run is seen to end, its files are in order.
        DeleteFiles(&deletions);
        std::lock_guard lock(m_mutex);
        m_slots[launch.slot] = Slot{};
        CountDone(launch.job);
        // After Stop nothing launches until the next Start, even jobs added in between.
        if (m_running && LaunchNext(&launch)) continue;
        if (!AnySlotBusy()) {
            // Nothing runs and nothing more can start: the run is over.
            m_running = false;
            m_slots.resize(static_cast<std::size_t>(std::max(m_threadsCount, 0)));
        }
        --m_activeWorkers;
        m_finishedThreads.push_back(std::this_thread::get_id());
        m_workersDone.notify_all();
        return;
    }
}

void CCore::RunJob(const Launch& launch, std::vector<std::string>* deletions) {
    bool stopped;
    {
        std::lock_guard lock(m_mutex);
        stopped = m_slots[launch.slot].stopRequested;
    }
    if (!stopped && m_hooks != nullptr) {
        ProcessExitStatus refused;
        const IJobHooks::Decision decision = m_hooks->BeforeJobRun(launch.job, &refused.startError);
        if (decision != IJobHooks::Decision::Run) {
            refused.state = decision == IJobHooks::Decision::Decline
                                ? ProcessExitStatus::State::Declined
                                : ProcessExitStatus::State::NotStarted;
            SetStatus(launch.job, refused);
            CollectOrphanedInput(launch.job, deletions);
            return;
        }
    }
    auto* files = dynamic_cast<IProcessJob*>(launch.job);
    const std::string inputPath = files ? files->GetJobInputFile() : std::string();
    const platform::FileIdentity input =
        inputPath.empty() ? platform::FileIdentity{} : platform::IdentifyFile(inputPath);
    int pidfd = -1;
    // The program is started and waited for on this worker thread, which goes on to further
    // jobs or ends only once the program has been collected. That matters: a program is killed
    // when the thread that started it ends (so that none outlives kelto), and a worker never
    // ends first, also when Stop kills its program. Only a job whose program gives no handle
    // and is gone already is not waited for.
    // A CProcess records itself why its program did not start. A coder that never ran leaves
    // its decoder's temporary WAV behind unless it is given back here.
    if (stopped || !launch.job->Run(launch.priorityClass) ||
        !MarkStarted(launch, &pidfd, input)) {
        CollectOrphanedInput(launch.job, deletions);
        return;
    }
    platform::WaitForChildExit(pidfd);
    ProcessExitStatus status = Collect(launch, pidfd);
    if (m_hooks != nullptr && status.Succeeded() &&
        !m_hooks->AfterJobSucceeded(launch.job, &status.startError)) {
        status.state = ProcessExitStatus::State::Unfinished;
        SetStatus(launch.job, status);
    }
    CollectDeletions(launch.job, status, deletions);
}

bool CCore::MarkStarted(const Launch& launch, int* pidfd, const platform::FileIdentity& input) {
    std::lock_guard lock(m_mutex);
    Slot& slot = m_slots[launch.slot];
    slot.input = input;
    const ProcessInformation info = launch.job->GetProcessInfo();
    slot.pid = static_cast<int>(info.processId);
    slot.pidfd = info.processHandle;
    if (slot.pidfd < 0) {
        // A job of another kind that gives no handle: wait through one of our own.
        slot.pidfd = platform::OpenChildHandle(slot.pid);
        slot.ownHandle = true;
        if (slot.pidfd < 0) return false;
    }
    slot.started = true;
    ++m_startedCount;
    if (slot.stopRequested) {
        slot.killed = platform::KillChildGroup(slot.pid, slot.pidfd);
    } else if (m_priorityClass != launch.priorityClass) {
        platform::SetChildGroupNice(slot.pid, NiceForPriorityClass(m_priorityClass));
    }
    *pidfd = slot.pidfd;
    return true;
}

ProcessExitStatus CCore::Collect(const Launch& launch, int pidfd) {
    std::lock_guard lock(m_mutex);
    Slot& slot = m_slots[launch.slot];
    platform::ChildExit exit;
    ProcessExitStatus status;
    if (platform::ReapChild(pidfd, &exit)) {
        status.state = exit.signalled ? ProcessExitStatus::State::Signalled
                                      : ProcessExitStatus::State::Exited;
        status.exitCode = exit.code;
        status.signal = exit.signal;
    } else {
        // Collected by someone else: how it ended is unknown, so it cannot count as success.
        status.state = ProcessExitStatus::State::Exited;
        status.exitCode = -1;
    }
    slot.reaped = true;
    status.terminated = slot.killed && exit.signalled;
    SetStatus(launch.job, status);
    if (slot.ownHandle) {
        platform::CloseChildHandle(slot.pidfd);
    } else if (auto* process = dynamic_cast<CProcess*>(launch.job)) {
        process->CloseProcessHandle();
    }
    slot.pidfd = -1;
    return status;
}

void CCore::CountDone(IProcess* job) {
    const auto found = m_jobBytes.find(job);
    if (found == m_jobBytes.end()) return;
    m_doneBytes += found->second;
    // Counted once, also when the same job object is queued again later in the run.
    m_jobBytes.erase(found);
}

double CCore::ReadFraction(Slot& slot) {
    if (!slot.started) return 0.0;
    if (slot.reaped) return 1.0;
    if (slot.input.size <= 0) return -1.0;
    // Under the lock the program is not collected, so its process id is still its own. A
    // program that has closed its input (it writes the rest) keeps its last reading.
    const std::int64_t position = platform::OpenFilePosition(slot.pid, slot.input);
    if (position >= 0) {
        slot.fraction = std::min(1.0, static_cast<double>(position) /
                                          static_cast<double>(slot.input.size));
    }
    return slot.fraction;
}

double CCore::GetJobProgress(IProcess* job) {
    std::lock_guard lock(m_mutex);
    for (auto& slot : m_slots) {
        if (slot.job != job) continue;
        const double fraction = ReadFraction(slot);
        return fraction < 0 ? -1.0 : 100.0 * fraction;
    }
    return -1.0;
}

CCore::RunProgress CCore::GetRunProgress() {
    std::lock_guard lock(m_mutex);
    RunProgress progress;
    progress.TotalBytes = m_totalBytes;
    progress.DoneBytes = m_doneBytes;
    for (auto& slot : m_slots) {
        if (slot.job == nullptr) continue;
        const double fraction = ReadFraction(slot);
        progress.JobPercents.emplace_back(slot.job, fraction < 0 ? -1.0 : 100.0 * fraction);
        const auto weight = m_jobBytes.find(slot.job);
        if (weight == m_jobBytes.end()) continue;
        if (fraction > 0) {
            progress.DoneBytes += static_cast<std::int64_t>(fraction * static_cast<double>(weight->second));
        }
    }
    progress.DoneBytes = std::min(progress.DoneBytes, progress.TotalBytes);
    if (m_startTime != 0) progress.Elapsed100ns = platform::MonotonicTime100ns() - m_startTime;
    return progress;
}
