#include "core/Process.h"

#include "core/CommandLine.h"
#include "core/ProcessPriority.h"
#include "platform/ChildProcess.h"

namespace {

std::string Trim(const std::string& text) {
    // ASCII white space only: a byte of a multi-byte UTF-8 character is never cut.
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

CProcess::CProcess(const CProcess& other) : IProcess(other) { CopyJobFields(other); }

CProcess& CProcess::operator=(const CProcess& other) {
    if (this != &other) {
        CopyJobFields(other);
        std::lock_guard lock(m_mutex);
        platform::CloseChildHandle(m_processInfo.processHandle);
        m_processInfo = {};
        m_cpuMeter = {};
        m_exitStatus = {};
    }
    return *this;
}

CProcess::~CProcess() { platform::CloseChildHandle(m_processInfo.processHandle); }

void CProcess::CopyJobFields(const CProcess& other) {
    m_showWindow = other.m_showWindow;
    m_commandLine = other.m_commandLine;
    m_programPath = other.m_programPath;
}

bool CProcess::Run(int priorityClass) {
    {
        std::lock_guard lock(m_mutex);
        platform::CloseChildHandle(m_processInfo.processHandle);
        m_processInfo = {};
        m_cpuMeter.Reset();
        m_exitStatus = {};
    }
    const bool inheritOutput = (m_showWindow & 0xFF) != 0;
    platform::ChildProcess child;
    platform::Error error;
    const bool started = platform::SpawnChild(m_programPath, SplitCommandLine(m_commandLine),
                                              NiceForPriorityClass(priorityClass), inheritOutput,
                                              &child, &error);
    std::lock_guard lock(m_mutex);
    if (!started) {
        m_exitStatus.state = ProcessExitStatus::State::NotStarted;
        m_exitStatus.startError = error.text;
        return false;
    }
    m_processInfo.processHandle = child.pidfd;
    m_processInfo.processId = static_cast<std::uint32_t>(child.pid);
    return true;
}

bool CProcess::SetCommandLine(const std::string& text) {
    // The program name is passed separately, so the argument line begins with the empty
    // program name token: one space.
    m_commandLine = " " + Trim(text);
    return true;
}

std::string CProcess::GetCommandLine() { return Trim(m_commandLine); }

std::string CProcess::GetProgramPath() { return m_programPath; }

bool CProcess::SetProgramPath(const std::string& path) {
    m_programPath = path;
    return true;
}

int CProcess::SetShowWindow(int flag) {
    m_showWindow = flag;
    return 1;
}

ProcessInformation CProcess::GetProcessInfo() {
    std::lock_guard lock(m_mutex);
    return m_processInfo;
}

double CProcess::GetCpuUsage() {
    std::lock_guard lock(m_mutex);
    const int pid = static_cast<int>(m_processInfo.processId);
    // Without its handle the process has been reaped and its id may name another process.
    const int pidfd = m_processInfo.processHandle;
    return m_cpuMeter.Measure(pidfd >= 0 ? pid : 0, pidfd);
}

ProcessExitStatus CProcess::GetExitStatus() const {
    std::lock_guard lock(m_mutex);
    return m_exitStatus;
}

void CProcess::SetExitStatus(const ProcessExitStatus& status) {
    std::lock_guard lock(m_mutex);
    m_exitStatus = status;
}

void CProcess::CloseProcessHandle() {
    std::lock_guard lock(m_mutex);
    platform::CloseChildHandle(m_processInfo.processHandle);
    m_processInfo.processHandle = -1;
}
