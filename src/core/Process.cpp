#include "core/Process.h"

#include "core/CommandLine.h"
#include "core/ProcessErrorText.h"
#include "core/ProcessPriority.h"
#include "platform/ChildProcess.h"
#include "platform/MemoryFile.h"

namespace {

// Enough for the reason a codec program gives, however much progress it printed before it.
constexpr std::size_t kErrorTailBytes = 4096;

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
        CloseErrorOutput(false);
        m_processInfo = {};
        m_cpuMeter = {};
        m_exitStatus = {};
    }
    return *this;
}

CProcess::~CProcess() {
    platform::CloseChildHandle(m_processInfo.processHandle);
    platform::CloseMemoryFile(m_errorOutput);
}

void CProcess::CopyJobFields(const CProcess& other) {
    m_showWindow = other.m_showWindow;
    m_commandLine = other.m_commandLine;
    m_programPath = other.m_programPath;
}

bool CProcess::Run(int priorityClass) {
    {
        std::lock_guard lock(m_mutex);
        platform::CloseChildHandle(m_processInfo.processHandle);
        CloseErrorOutput(false);
        m_processInfo = {};
        m_cpuMeter.Reset();
        m_exitStatus = {};
    }
    platform::ChildOutput output;
    output.inherit = (m_showWindow & 0xFF) != 0;
    // Without a file for it (no descriptor left) the program still runs, its words unheard.
    if (!output.inherit) output.errorFd = platform::CreateMemoryFile("kelto-stderr");
    platform::ChildProcess child;
    platform::Error error;
    const bool started =
        platform::SpawnChild(m_programPath, SplitCommandLine(m_commandLine),
                             NiceForPriorityClass(priorityClass), output, &child, &error);
    std::lock_guard lock(m_mutex);
    if (!started) {
        platform::CloseMemoryFile(output.errorFd);
        m_exitStatus.state = ProcessExitStatus::State::NotStarted;
        m_exitStatus.startError = error.text;
        return false;
    }
    m_errorOutput = output.errorFd;
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
    CloseErrorOutput(!m_exitStatus.Succeeded());
}

void CProcess::CloseErrorOutput(bool keepText) {
    if (m_errorOutput < 0) return;
    std::string tail;
    bool whole = true;
    // A successful run's words are not kept: a list of 100,000 files would hold them all.
    if (keepText && platform::ReadFileTail(m_errorOutput, kErrorTailBytes, &tail, &whole)) {
        m_exitStatus.errorText = ProcessErrorText(tail, whole);
    }
    platform::CloseMemoryFile(m_errorOutput);
    m_errorOutput = -1;
}
