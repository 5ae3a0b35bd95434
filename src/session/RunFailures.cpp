#include "session/RunFailures.h"

#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "session/FileList.h"
#include "session/RunHooks.h"

namespace {

// The program's own lines on one line, after how it ended.
std::string WithProgramWords(std::string text, const std::string& words) {
    if (words.empty()) return text;
    text += ": ";
    for (const char c : words) {
        if (c == '\n') {
            text += "; ";
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

std::string DescribeExitStatus(const ProcessExitStatus& status) {
    using State = ProcessExitStatus::State;
    switch (status.state) {
        case State::NotRun:
            return "not run";
        case State::Exited:
            return WithProgramWords("exit status " + std::to_string(status.exitCode),
                                    status.errorText);
        case State::Signalled:
            // After the user's Stop, whatever the program last printed is beside the point.
            if (status.terminated) return "signal " + std::to_string(status.signal) + " (stopped)";
            return WithProgramWords("signal " + std::to_string(status.signal), status.errorText);
        case State::NotStarted:
            return "could not start: " + status.startError;
        case State::Skipped:
            return "not run: its decoder did not succeed";
        case State::Declined:
            return status.startError.empty() ? std::string("not run") : status.startError;
        case State::Unfinished:
            return "not finished: " + status.startError;
    }
    return {};
}

std::vector<RunFailure> CollectRunFailures(const CFileList& files, bool withStopped) {
    std::vector<RunFailure> failures;
    for (int i = 0; i < files.Count(); ++i) {
        const CFileInfo* file = files.Get(i);
        for (CCodec* job :
             {static_cast<CCodec*>(file->Decoder.get()), static_cast<CCodec*>(file->Coder.get())}) {
            if (!job) continue;
            const ProcessExitStatus status = job->GetExitStatus();
            if (!status.Failed()) continue;
            const bool byStop =
                status.state == ProcessExitStatus::State::Signalled && status.terminated;
            const bool skipped = status.state == ProcessExitStatus::State::Skipped;
            if (!withStopped && (byStop || skipped)) continue;
            failures.push_back(
                {file, PathFileName(job->GetProgramPath()), DescribeExitStatus(status)});
        }
    }
    return failures;
}

std::vector<RunNote> CollectRunNotes(const CFileList& files, const CRunHooks& hooks) {
    std::vector<RunNote> notes;
    for (int i = 0; i < files.Count(); ++i) {
        const CFileInfo* file = files.Get(i);
        if (hooks.WasSkipped(file)) {
            CCodec* first = file->Decoder ? static_cast<CCodec*>(file->Decoder.get())
                                          : static_cast<CCodec*>(file->Coder.get());
            notes.push_back({file, true, first ? DescribeExitStatus(first->GetExitStatus())
                                         : std::string("skipped")});
        }
        const std::string warning = hooks.GetTagWarning(file);
        if (!warning.empty()) notes.push_back({file, false, "tags not copied: " + warning});
        const std::string checkNote = hooks.GetCheckNote(file);
        if (!checkNote.empty()) notes.push_back({file, false, checkNote});
    }
    return notes;
}

int CountVerified(const CFileList& files, const CRunHooks& hooks) {
    int verified = 0;
    for (int i = 0; i < files.Count(); ++i) {
        if (hooks.WasVerified(files.Get(i))) ++verified;
    }
    return verified;
}
