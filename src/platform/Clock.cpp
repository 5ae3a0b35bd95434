#include "platform/Clock.h"

#include <time.h>

namespace platform {

std::int64_t MonotonicTime100ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 10'000'000 + now.tv_nsec / 100;
}

}  // namespace platform
