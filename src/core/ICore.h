#pragma once

#include <vector>

#include "core/IProcess.h"

// The conversion core as windows and plug-ins see it. The order of the operations is part of
// the plug-in contract: do not reorder, insert or remove.
class ICore {
public:
    virtual bool Start() = 0;
    virtual bool AddJob(IProcess* job) = 0;
    virtual void ClearQueue() = 0;
    virtual bool Stop() = 0;
    virtual void SetPriority(int priorityClass) = 0;
    virtual int SetThreadsCount(int count) = 0;
    virtual double GetCpuUsage() = 0;
    virtual int GetStartedCount() = 0;
    virtual int GetLaunchedCount() = 0;
    virtual int GetJobsCount() = 0;
    virtual void GetRunningJobs(std::vector<IProcess*>& list) = 0;
    virtual bool IsRunning() = 0;

protected:
    ~ICore() = default;
};
