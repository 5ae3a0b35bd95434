#pragma once

#include <string>

// How the last run of a job ended, kept on the job for the front ends to report.
struct ProcessExitStatus {
    enum class State {
        NotRun,      // not run since it was queued (or never)
        Exited,      // the program ended by itself with exitCode
        Signalled,   // the program was ended by signal
        NotStarted,  // the program could not be started (startError says why)
        Skipped,     // a coder not run because its decoder did not succeed
        Declined,    // not run because the run's hooks turned it down (startError says why);
                     // neither a success nor a failure
        Unfinished,  // the program succeeded, but the run's hooks could not finish its work
                     // (startError says why)
    };

    State state = State::NotRun;
    int exitCode = 0;
    int signal = 0;
    bool terminated = false;  // ended by the core's Stop
    std::string startError;
    // The last few lines the program wrote to its standard error when it was run without its
    // output shown and did not succeed, one per line, with progress lines reduced to their
    // final state; empty otherwise.
    std::string errorText;

    bool Succeeded() const { return state == State::Exited && exitCode == 0; }
    bool Failed() const {
        return state != State::NotRun && state != State::Declined && !Succeeded();
    }
};
