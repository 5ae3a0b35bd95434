#pragma once

#include <string>

#include "core/ProcessInformation.h"

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
