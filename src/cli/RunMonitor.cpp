#include "cli/RunMonitor.h"

#include <thread>

#include "cli/PrintableText.h"
#include "cli/RunSummary.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "core/Core.h"
#include "fileinfo/FileInfo.h"
#include "platform/SignalWatcher.h"
#include "session/FileList.h"
#include "session/ProgressEstimate.h"

namespace {

// The progress line is redrawn this often on a terminal; elsewhere finished jobs are looked
// for this often.
constexpr int kTerminalRefreshMs = 500;
constexpr int kPlainRefreshMs = 200;

}  // namespace

CRunMonitor::CRunMonitor(CCore& core, platform::SignalWatcher& signals, bool terminal,
                         std::FILE* out)
    : m_core(core), m_signals(signals), m_terminal(terminal), m_out(out) {}

std::vector<RunJob> CRunMonitor::CollectJobs(const CFileList& files) {
    std::vector<RunJob> jobs;
    for (int i = 0; i < files.Count(); ++i) {
        CFileInfo* file = files.Get(i);
        if (file->Decoder) jobs.push_back({file, file->Decoder.get(), false});
        if (file->Coder) jobs.push_back({file, file->Coder.get(), false});
    }
    return jobs;
}

std::string CRunMonitor::DescribeJob(CCodec& job) {
    return std::string(job.GetKind() == 0 ? "coder " : "decoder ") + job.GetName();
}

bool CRunMonitor::WaitForEnd(std::vector<RunJob>& jobs) {
    // The waiter turns the end of the run into a wake-up, so the last job's end is seen at
    // once and not at the next refresh.
    std::thread waiter([this] {
        m_core.WaitForWorkers();
        m_signals.Wake();
    });
    const int refreshMs = m_terminal ? kTerminalRefreshMs : kPlainRefreshMs;
    for (;;) {
        const auto event = m_signals.Wait(refreshMs);
        if (event == platform::SignalWatcher::Event::Signal && m_stopSignal == 0) {
            m_stopSignal = m_signals.LastSignal();
            m_core.Stop();
        }
        if (event == platform::SignalWatcher::Event::Wake) break;
        if (m_terminal) {
            ShowProgress(jobs);
        } else {
            ShowFinishedJobs(jobs);
        }
    }
    waiter.join();
    if (m_terminal) ClearProgress();
    if (!m_terminal) ShowFinishedJobs(jobs);
    return m_stopSignal != 0;
}

void CRunMonitor::ShowProgress(const std::vector<RunJob>& jobs) {
    const int total = m_core.GetJobsCount();
    const int started = m_core.GetStartedCount();
    const double percent = total > 0 ? 100.0 * started / total : 0.0;
    std::vector<IProcess*> running;
    m_core.GetRunningJobs(running);
    const CCore::RunProgress progress = m_core.GetRunProgress();
    std::string line = "Jobs started: " + std::to_string(started) + "/" + std::to_string(total);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " (%.0f%%), done %.0f%%, left %s, CPU %.0f%%", percent,
                  RunPercent(progress), FormatDuration(EstimateSecondsLeft(progress)).c_str(),
                  m_core.GetCpuUsage());
    line += numbers;
    for (IProcess* process : running) {
        // A coder reads a temporary file; the source's name says more.
        for (const RunJob& job : jobs) {
            if (job.Job != process) continue;
            line += " | " + job.Job->GetName() + ": " + PrintableText(job.File->Name);
            const double jobPercent = progress.PercentOf(process);
            if (jobPercent >= 0) {
                std::snprintf(numbers, sizeof numbers, " %.0f%%", jobPercent);
                line += numbers;
            }
            break;
        }
    }
    std::fprintf(m_out, "\r%s\x1b[K", line.c_str());
    std::fflush(m_out);
    m_shownWidth = line.size();
}

void CRunMonitor::ClearProgress() {
    if (m_shownWidth == 0) return;
    std::fprintf(m_out, "\r\x1b[K");
    std::fflush(m_out);
    m_shownWidth = 0;
}

void CRunMonitor::ShowFinishedJobs(std::vector<RunJob>& jobs) {
    for (RunJob& job : jobs) {
        if (job.Reported) continue;
        const ProcessExitStatus status = job.Job->GetExitStatus();
        if (status.state == ProcessExitStatus::State::NotRun) continue;
        job.Reported = true;
        const bool declined = status.state == ProcessExitStatus::State::Declined;
        std::fprintf(m_out, "%s %s: %s\n",
                     status.Succeeded() ? "done" : (declined ? "skipped" : "FAILED"),
                     DescribeJob(*job.Job).c_str(), CRunSummary::JobResultText(job).c_str());
    }
    std::fflush(m_out);
}
