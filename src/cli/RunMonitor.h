#pragma once

#include <cstdio>
#include <string>
#include <vector>

class CCodec;
class CCore;
class CFileInfo;
class CFileList;

namespace platform {
class SignalWatcher;
}

// One queued job of a run and the file it belongs to.
struct RunJob {
    CFileInfo* File = nullptr;
    CCodec* Job = nullptr;
    bool Reported = false;  // its end has been printed
};

// Watches a started run until it is over: shows progress on standard error (a line redrawn
// about twice a second on a terminal, otherwise one line per finished job) and stops the run
// when SIGINT or SIGTERM arrives.
class CRunMonitor {
public:
    CRunMonitor(CCore& core, platform::SignalWatcher& signals, bool terminal,
                std::FILE* out = stderr);

    // The jobs of every file in list order, as Start queued them.
    static std::vector<RunJob> CollectJobs(const CFileList& files);

    // Returns once the core runs no more and no worker is left; true when a signal stopped it.
    bool WaitForEnd(std::vector<RunJob>& jobs);

    // The signal that stopped the run, 0 when none did.
    int GetStopSignal() const { return m_stopSignal; }

    // "decoder flac" and similar, for progress and summary lines.
    static std::string DescribeJob(CCodec& job);

private:
    void ShowProgress(const std::vector<RunJob>& jobs);
    void ShowFinishedJobs(std::vector<RunJob>& jobs);
    void ClearProgress();

    CCore& m_core;
    platform::SignalWatcher& m_signals;
    bool m_terminal;
    std::FILE* m_out;
    int m_stopSignal = 0;
    std::size_t m_shownWidth = 0;
};
