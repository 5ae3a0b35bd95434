#pragma once

#include <cstdint>

namespace platform {

// Peak resident set size of this process in kibibytes (getrusage), or -1.
std::int64_t PeakResidentKilobytes();

}  // namespace platform
