#pragma once

#include <string>
#include <unordered_set>

class CFileInfo;
class CRunHooks;
class IProcess;

// Where a file of the last run stands, as the file list's state column and kelto-cli show it.
enum class RowState { None, Waiting, Running, Done, Verified, Skipped, Failed, Stopped };

struct RowStatus {
    RowState State = RowState::None;
    // Why: the output written, the failed program's own words, the output that existed; empty
    // for None and Waiting.
    std::string Reason;
};

// The reason of a file stopped before any of its jobs ran.
inline constexpr const char* kNotRunReason = "not run";

// The state of file, a file of the last run, from its jobs' exit states and what the run's
// hooks learnt. running holds the jobs the core runs now (ICore::GetRunningJobs); once the run
// is over (runOver), a job that never ran was stopped. A file without jobs has no state.
RowStatus DeriveRowStatus(const CFileInfo& file, const CRunHooks& hooks,
                          const std::unordered_set<const IProcess*>& running, bool runOver);

// How many files of a run ended how.
struct RunCounts {
    int Converted = 0;  // done or verified
    int Verified = 0;
    int Failed = 0;
    int Skipped = 0;
    int Stopped = 0;
    int Unfinished = 0;  // waiting or running (only while the run goes on)

    void Add(RowState state);
};
