#pragma once

#include <mutex>
#include <string>

#include "core/CpuMeter.h"
#include "core/IProcess.h"
#include "core/ProcessExitStatus.h"
#include "core/ProcessInformation.h"

// One external program run: the program path, the argument line, how it was started and how
// it ended. The base of every codec record; a per-file copy of one is a job of the core.
//
// The process handle (a pidfd) belongs to the record that ran the program: it is closed by the
// next Run, by CloseProcessHandle once the job has been reaped, and by the destructor. A copy
// never shares it: copies start with no handle, a fresh CPU meter and no exit status.
//
// A program run with the show flag clear writes its standard error into an anonymous file in
// memory that the record holds until CloseProcessHandle, which keeps the last lines of a run
// that failed in the exit status (errorText): what the program itself said went wrong.
//
// GetProcessInfo, GetCpuUsage, GetExitStatus and CloseProcessHandle may be called from any
// thread; the other operations belong to the thread that prepares or runs the job.
class CProcess : public IProcess {
public:
    CProcess() = default;
    CProcess(const CProcess& other);
    CProcess& operator=(const CProcess& other);
    // Not virtual: adding a destructor slot here would move the slots that follow the nine
    // operations in derived records. Own jobs by their concrete type.
    ~CProcess();

    bool Run(int priorityClass) override;
    bool SetCommandLine(const std::string& text) override;
    std::string GetCommandLine() override;
    std::string GetProgramPath() override;
    bool SetProgramPath(const std::string& path) override;
    int SetShowWindow(int flag) override;
    ProcessInformation GetProcessInfo() override;
    double GetCpuUsage() override;

    // Not part of the interface table: the core records here how the job's last run ended.
    ProcessExitStatus GetExitStatus() const;
    void SetExitStatus(const ProcessExitStatus& status);
    // Closes the process handle once the program has been reaped; the process id stays for
    // reading but the CPU meter then reads the process as gone. Also closes the program's error
    // output: when the exit status recorded by then is not a success, its last lines go into
    // the status's errorText.
    void CloseProcessHandle();

private:
    void CopyJobFields(const CProcess& other);
    // Under m_mutex.
    void CloseErrorOutput(bool keepText);

    int m_showWindow = 1;
    std::string m_commandLine;
    std::string m_programPath;

    mutable std::mutex m_mutex;  // guards the fields below
    ProcessInformation m_processInfo;
    CCpuMeter m_cpuMeter;
    ProcessExitStatus m_exitStatus;
    int m_errorOutput = -1;  // the running program's standard error, -1 when none
};
