#pragma once

#include <cstdint>

// What a successful Run leaves behind. processHandle is a pidfd; -1 when there is none.
// threadHandle and threadId have no counterpart on this platform and stay 0.
struct ProcessInformation {
    int processHandle = -1;
    int threadHandle = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};
