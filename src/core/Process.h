#pragma once

#include <cstdint>
#include <string>

// What a successful Run leaves behind. processHandle is a pidfd; -1 when there is none.
// threadHandle and threadId have no counterpart on this platform and stay 0.
struct ProcessInformation {
    int processHandle = -1;
    int threadHandle = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

// One run of an external program. The order of the operations is part of the plug-in
// contract: do not reorder, insert or remove.
class IProcess {
public:
    virtual int GetKind() = 0;  // 0 coder job, 1 decoder job
    virtual bool Run(int priorityClass) = 0;
    virtual bool SetCommandLine(const std::string& text) = 0;
    virtual std::string GetCommandLine() = 0;
    virtual std::string GetProgramPath() = 0;
    virtual bool SetProgramPath(const std::string& path) = 0;
    virtual int SetShowWindow(int flag) = 0;
    virtual ProcessInformation GetProcessInfo() = 0;
    virtual double GetCpuUsage() = 0;

protected:
    ~IProcess() = default;
};
