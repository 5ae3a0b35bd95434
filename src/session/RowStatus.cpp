#include "session/RowStatus.h"

#include "base/Paths.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "session/RunFailures.h"
#include "session/RunHooks.h"

namespace {

RowStatus Finished(const CFileInfo& file, const CCodec& last, const CRunHooks& hooks) {
    RowStatus status{hooks.WasVerified(&file) ? RowState::Verified : RowState::Done,
                     last.GetOutputFile().empty() ? last.GetWaveFile() : last.GetOutputFile()};
    for (const std::string& note : {hooks.GetCheckNote(&file), hooks.GetTagWarning(&file)}) {
        if (!note.empty()) status.Reason += "; " + note;
    }
    return status;
}

}  // namespace

RowStatus DeriveRowStatus(const CFileInfo& file, const CRunHooks& hooks,
                          const std::unordered_set<const IProcess*>& running, bool runOver) {
    CCodec* decoder = file.Decoder.get();
    CCodec* coder = file.Coder.get();
    if (!decoder && !coder) return {};
    for (CCodec* job : {decoder, coder}) {
        if (job && running.count(job) != 0) {
            return {RowState::Running, PathFileName(job->GetProgramPath())};
        }
    }
    const CCodec* first = decoder ? decoder : coder;
    if (hooks.WasSkipped(&file)) {
        return {RowState::Skipped, DescribeExitStatus(first->GetExitStatus())};
    }
    for (CCodec* job : {decoder, coder}) {
        if (!job) continue;
        const ProcessExitStatus status = job->GetExitStatus();
        using State = ProcessExitStatus::State;
        // The coder after a failed decoder: the decoder is the one to name.
        if (status.state == State::Skipped) continue;
        const std::string program = PathFileName(job->GetProgramPath());
        if (status.state == State::Signalled && status.terminated) {
            return {RowState::Stopped, program + ": " + DescribeExitStatus(status)};
        }
        if (status.state == State::Declined) {
            return {RowState::Skipped, DescribeExitStatus(status)};
        }
        // A check of a finished output that the Stop cut short is no failure of the file.
        const bool cutByStop = status.state == State::Unfinished && hooks.WasStopped();
        if (status.Failed()) {
            return {cutByStop ? RowState::Stopped : RowState::Failed,
                    program + ": " + DescribeExitStatus(status)};
        }
    }
    const CCodec* last = coder ? coder : decoder;
    if (last->GetExitStatus().Succeeded()) return Finished(file, *last, hooks);
    if (runOver) return {RowState::Stopped, kNotRunReason};
    return {RowState::Waiting, {}};
}

void RunCounts::Add(RowState state) {
    switch (state) {
        case RowState::Verified:
            ++Verified;
            ++Converted;
            break;
        case RowState::Done:
            ++Converted;
            break;
        case RowState::Failed:
            ++Failed;
            break;
        case RowState::Skipped:
            ++Skipped;
            break;
        case RowState::Stopped:
            ++Stopped;
            break;
        case RowState::Waiting:
        case RowState::Running:
            ++Unfinished;
            break;
        case RowState::None:
            break;
    }
}
