#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/RunMonitor.h"

// The end of a run: each output written, each failed job with how its program ended and its
// command line, and the exit status that follows from them.
class CRunSummary {
public:
    explicit CRunSummary(const std::vector<RunJob>& jobs) : m_jobs(jobs) {}

    // Prints the summary; the exit status: 0 when every job ran and exited with status 0,
    // 1 otherwise (a failed job, or jobs left unrun by a stop).
    int Print(std::FILE* out, int stopSignal) const;

    // "a.flac -> /tmp/kel12AB.wav", then how the job ended when it did not succeed.
    static std::string JobResultText(const RunJob& job);
    // How the job ended, as DescribeExitStatus says it ("exit status 1: flac: ERROR: ...").
    static std::string EndText(const RunJob& job);

private:
    bool FileSucceeded(std::size_t first, std::size_t end) const;

    const std::vector<RunJob>& m_jobs;
};
