#pragma once

#include <string>
#include <vector>

#include "core/ProcessExitStatus.h"

class CFileInfo;
class CFileList;
class CRunHooks;

// A job of the last run that did not succeed, as both front ends report it.
struct RunFailure {
    const CFileInfo* File = nullptr;
    std::string Program;  // the file name of the job's program
    std::string End;      // how it ended (DescribeExitStatus)
};

// "exit status 3", "signal 9 (stopped)", "could not start: ...", "not run: its decoder did
// not succeed"; "not run" for a job that did not run. The program's own last words follow an
// exit status or a signal other than the user's Stop, on the same line: "exit status 1: flac:
// ERROR: ...", several of them separated by "; ".
std::string DescribeExitStatus(const ProcessExitStatus& status);

// Every failed job of the listed files, in list order, decoder before coder. Jobs that the
// user's Stop ended, and coders left out because their decoder failed (the decoder is named
// already), are passed over unless withStopped.
std::vector<RunFailure> CollectRunFailures(const CFileList& files, bool withStopped);

// A file of the last run that was not converted without remark, though nothing failed: skipped
// because its output existed, or converted without its tags.
struct RunNote {
    const CFileInfo* File = nullptr;
    bool Skipped = false;  // else a warning
    std::string Text;      // "skipped: OUTPUT exists", "tags not copied: ..."
};

// The notes of the listed files, in list order: also what the full check of an output noted
// ("compared on the upper 24 bits").
std::vector<RunNote> CollectRunNotes(const CFileList& files, const CRunHooks& hooks);

// How many of the listed files' outputs passed the full check (decoded again and compared).
int CountVerified(const CFileList& files, const CRunHooks& hooks);
