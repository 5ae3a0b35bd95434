#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/RunMonitor.h"
#include "session/RunFailures.h"

// What became of the inputs that gave no file to convert: files and folders that could not be
// read (each named with a warning when it was met), and files passed over as not audio.
struct InputCounts {
    int Unreadable = 0;
    int NotAudio = 0;
};

// The end of a run: each output written, each failed job with how its program ended and its
// command line, and the exit status that follows from them.
class CRunSummary {
public:
    // notes: the files skipped because their output existed and the tag warnings of the run
    // (CollectRunNotes). inputs: what the inputs held besides the files of the run.
    explicit CRunSummary(const std::vector<RunJob>& jobs, std::vector<RunNote> notes = {},
                         InputCounts inputs = {})
        : m_jobs(jobs), m_notes(std::move(notes)), m_inputs(inputs) {}

    // How many files' outputs passed the full check, for the summary to say.
    void SetVerifiedCount(int verified) { m_verified = verified; }
    // The outputs whose recorded source is gone (CRunHooks::GetOrphanedOutputs), to be named.
    void SetOrphanedOutputs(std::vector<std::string> outputs) { m_orphans = std::move(outputs); }
    // The albums that got no album gain (CRunHooks::GetAlbumsWithoutGain), to be named.
    void SetAlbumsWithoutGain(std::vector<std::string> albums) { m_noAlbumGain = std::move(albums); }

    // Prints the summary; the exit status: 0 when every job ran and exited with status 0 or
    // was skipped because its output existed, and every input could be read; 1 otherwise (a
    // failed job, jobs left unrun by a stop, an input that could not be read). A tag warning
    // does not change it.
    int Print(std::FILE* out, int stopSignal) const;
    // For inputs that gave no run (--info, --dry-run, nothing to convert): their counts, a line
    // each after prefix, none for a count of 0 ("2 input(s) could not be read.", "3 file(s)
    // passed over: not audio."). The exit status: 1 when an input could not be read, else 0.
    static int PrintInputs(std::FILE* out, const InputCounts& inputs, const char* prefix);

    // "a.flac -> /tmp/kel12AB.wav", then how the job ended when it did not succeed.
    static std::string JobResultText(const RunJob& job);
    // How the job ended, as DescribeExitStatus says it ("exit status 1: flac: ERROR: ...").
    static std::string EndText(const RunJob& job);

private:
    static void PrintNotAudio(std::FILE* out, const InputCounts& inputs, const char* prefix);
    bool FileSucceeded(std::size_t first, std::size_t end) const;

    const std::vector<RunJob>& m_jobs;
    std::vector<RunNote> m_notes;
    int m_verified = 0;
    std::vector<std::string> m_orphans;
    std::vector<std::string> m_noAlbumGain;
    InputCounts m_inputs;
};
