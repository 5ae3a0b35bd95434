#pragma once

#include <cstdint>

// Measures the CPU usage of one process between two readings, in percent of one processor.
class CCpuMeter {
public:
    // The first reading gives 0 and only records the starting point. Later readings give the CPU
    // time used since the previous reading over the time passed, clamped to 0 ... 100. A process
    // that is gone reads as CPU time -1 (so its usage clamps to 0). pidfd, when not -1, guards
    // against reading a reused process id. Readings of all meters are serialised.
    double Measure(int processId, int pidfd = -1);

    // Back to the state before the first reading.
    void Reset();

private:
    bool m_first = true;
    std::int64_t m_lastCpuTime = 0;
    std::int64_t m_lastTimeStamp = 0;
};
