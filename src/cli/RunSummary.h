#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/RunMonitor.h"
#include "session/RunFailures.h"

// The end of a run: each output written, each failed job with how its program ended and its
// command line, and the exit status that follows from them.
class CRunSummary {
public:
    // notes: the files skipped because their output existed and the tag warnings of the run
    // (CollectRunNotes).
    explicit CRunSummary(const std::vector<RunJob>& jobs, std::vector<RunNote> notes = {})
        : m_jobs(jobs), m_notes(std::move(notes)) {}

    // How many files' outputs passed the full check, for the summary to say.
    void SetVerifiedCount(int verified) { m_verified = verified; }

    // Prints the summary; the exit status: 0 when every job ran and exited with status 0 or
    // was skipped because its output existed, 1 otherwise (a failed job, or jobs left unrun by
    // a stop). A tag warning does not change it.
    int Print(std::FILE* out, int stopSignal) const;

    // "a.flac -> /tmp/kel12AB.wav", then how the job ended when it did not succeed.
    static std::string JobResultText(const RunJob& job);
    // How the job ended, as DescribeExitStatus says it ("exit status 1: flac: ERROR: ...").
    static std::string EndText(const RunJob& job);

private:
    bool FileSucceeded(std::size_t first, std::size_t end) const;

    const std::vector<RunJob>& m_jobs;
    std::vector<RunNote> m_notes;
    int m_verified = 0;
};
