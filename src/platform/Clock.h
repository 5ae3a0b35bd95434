#pragma once

#include <cstdint>

namespace platform {

// CLOCK_MONOTONIC in 100-ns units.
std::int64_t MonotonicTime100ns();

}  // namespace platform
