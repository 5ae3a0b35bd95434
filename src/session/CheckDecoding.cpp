#include "session/CheckDecoding.h"

#include "base/Paths.h"
#include "codecs/Decoder.h"
#include "core/ProcessPriority.h"
#include "core/Templates.h"
#include "platform/ChildProcess.h"
#include "platform/ChildWait.h"
#include "session/RunFailures.h"

namespace {

// How often a waiting check looks at cancel; the program's end itself wakes it at once.
constexpr int kCancelPollMs = 50;

bool IsSet(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

CheckDecodingEnd Stopped() {
    CheckDecodingEnd end;
    end.Stopped = true;
    end.Reason = "stopped";
    return end;
}

}  // namespace

CheckDecodingEnd RunCheckDecoding(const CDecoder& decoder, const std::string& commandTemplate,
                                  const TemplateValues& values, const std::atomic<bool>* cancel) {
    CheckDecodingEnd end;
    CDecoder job(decoder);
    const std::string program = PathFileName(job.GetProgramPath());
    std::string commandLine;
    if (!ExpandTemplate(commandTemplate, values, commandLine)) {
        end.Reason = "the command line of " + program + " cannot be expanded: " + commandTemplate;
        return end;
    }
    if (IsSet(cancel)) return Stopped();
    job.SetCommandLine(commandLine);
    job.SetShowWindow(0);
    if (!job.Run(kNormalPriorityClass)) {
        end.Reason = "decoding " + values.InputPath + " with " + program +
                     " failed: " + DescribeExitStatus(job.GetExitStatus());
        return end;
    }
    const ProcessInformation process = job.GetProcessInfo();
    const int pid = static_cast<int>(process.processId);
    bool stopped = false;
    while (!platform::WaitForChildExitFor(process.processHandle, kCancelPollMs)) {
        if (IsSet(cancel)) {
            stopped = platform::KillChildGroup(pid, process.processHandle);
            platform::WaitForChildExit(process.processHandle);
            break;
        }
    }
    platform::ChildExit exit;
    ProcessExitStatus status;
    if (!platform::ReapChild(process.processHandle, &exit)) {
        status.state = ProcessExitStatus::State::NotStarted;
        status.startError = "its end could not be learnt";
    } else {
        status.state =
            exit.signalled ? ProcessExitStatus::State::Signalled : ProcessExitStatus::State::Exited;
        status.exitCode = exit.code;
        status.signal = exit.signal;
        status.terminated = stopped;
    }
    job.SetExitStatus(status);
    // Keeps the program's last words in the status when it failed.
    job.CloseProcessHandle();
    if (stopped) return Stopped();
    if (!job.GetExitStatus().Succeeded()) {
        end.Reason = "decoding " + values.InputPath + " with " + program +
                     " failed: " + DescribeExitStatus(job.GetExitStatus());
        return end;
    }
    end.Succeeded = true;
    return end;
}
