#pragma once

#include <string>

class IProcess;

// What the owner of a run adds around each job, called on the job's worker thread, never under
// the core's lock. A job counts as done only when AfterJobSucceeded has returned: it keeps its
// slot until then.
class IJobHooks {
public:
    enum class Decision {
        Run,      // start the program
        Decline,  // do not run it; it ends as Declined, which is not a failure
        Fail,     // do not run it; it ends as NotStarted
    };
    // Just before the job's program would start. reason is shown for Decline and Fail.
    virtual Decision BeforeJobRun(IProcess* job, std::string* reason) = 0;
    // After the job's program exited with status 0 (not after a stop). False when the job's
    // work could not be finished: the job then ends as Unfinished, with reason.
    virtual bool AfterJobSucceeded(IProcess* job, std::string* reason) = 0;
    // The run is being stopped (from any thread): work AfterJobSucceeded does for a job whose
    // program has ended, such as checking its output, should end soon and fail.
    virtual void OnStop() {}

protected:
    ~IJobHooks() = default;
};
