#include "core/CpuMeter.h"

#include <algorithm>
#include <mutex>

#include "platform/Clock.h"
#include "platform/CpuTime.h"

namespace {

std::mutex& ReadingMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

double CCpuMeter::Measure(int processId, int pidfd) {
    std::lock_guard lock(ReadingMutex());
    const std::int64_t cpuTime = platform::ProcessCpuTime100ns(processId, pidfd);
    const std::int64_t timeStamp = platform::MonotonicTime100ns();
    if (m_first) {
        m_first = false;
        m_lastCpuTime = cpuTime;
        m_lastTimeStamp = timeStamp;
        return 0.0;
    }
    const std::int64_t elapsed = timeStamp - m_lastTimeStamp;
    const double usage =
        elapsed > 0 ? static_cast<double>(cpuTime - m_lastCpuTime) / static_cast<double>(elapsed) * 100.0
                    : 0.0;
    m_lastCpuTime = cpuTime;
    m_lastTimeStamp = timeStamp;
    return std::clamp(usage, 0.0, 100.0);
}

void CCpuMeter::Reset() {
    std::lock_guard lock(ReadingMutex());
    m_first = true;
    m_lastCpuTime = 0;
    m_lastTimeStamp = 0;
}
