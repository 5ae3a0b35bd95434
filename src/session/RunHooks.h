#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/IJobHooks.h"

class CFileInfo;
class CFileList;

// What ExistingOutput asks for an output that exists when its file's first job starts.
enum class ExistingOutputPolicy {
    Overwrite = 0,
    Skip = 1,      // the file gets no jobs; the run reports it as skipped
    KeepBoth = 2,  // the new output gets " (2)" before its extension, or the first free number
};

// What a run of CConversion does around each job, for both front ends:
// - when a file's first job starts, whether its output already exists (on disk, or claimed by
//   a file that started earlier in the run) and what to do about it. An output that is to be
//   overwritten is first written apart, under UnfinishedOutputName, so the old file (which may
//   be the source itself) is lost only once the new one is complete;
// - when the job that writes a file's output starts, the output's folder is made;
// - when that job has succeeded, the source's tags and cover art are copied to the output, and
//   an output written apart replaces the old one; where it cannot, the job has failed.
// The core calls it on its worker threads; what it learns is read once the run is over, after
// Finish.
class CRunHooks final : public IJobHooks {
public:
    struct Policy {
        bool CopyTags = true;
        ExistingOutputPolicy ExistingOutput = ExistingOutputPolicy::Overwrite;
    };

    // Before a run: the files whose jobs are queued, and what to do. Forgets the last run.
    void Begin(const CFileList& files, const Policy& policy);

    Decision BeforeJobRun(IProcess* job, std::string* reason) override;
    bool AfterJobSucceeded(IProcess* job, std::string* reason) override;

    // After the run (no worker left): files whose output was written apart get their own
    // output name back, and what an unfinished job left under the other name is removed.
    void Finish();

    // After the run (no worker left). Whether the file was skipped because its output existed.
    bool WasSkipped(const CFileInfo* file) const;
    // Why the file's tags could not be copied; empty when they were (or there were none).
    std::string GetTagWarning(const CFileInfo* file) const;

private:
    struct FileState {
        bool Decided = false;
        bool Skipped = false;
        std::string TagWarning;
        // For an output written apart: the file, the old output it is to replace, whether it
        // has, and whether it is kept apart because it could not.
        CFileInfo* File = nullptr;
        std::string Replaces;
        bool Replaced = false;
        bool KeptApart = false;
    };

    // Under m_mutex: decides file's output; false when the file is to be skipped.
    bool DecideOutput(CFileInfo& file, FileState& state, std::string* reason);
    // Under m_mutex: whether path is written already or by another file of this run.
    bool IsTaken(const std::string& path, const CFileInfo* file) const;
    static bool WritesOutput(const CFileInfo& file, IProcess* job);

    Policy m_policy;
    std::unordered_map<IProcess*, CFileInfo*> m_jobFiles;
    mutable std::mutex m_mutex;  // guards the members below
    std::unordered_map<const CFileInfo*, FileState> m_states;
    std::unordered_map<std::string, const CFileInfo*> m_planned;  // outputs Apply chose
    std::unordered_set<std::string> m_claimed;  // outputs of files that started in this run
};
