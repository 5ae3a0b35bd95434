#include "platform/ResourceUsage.h"

#include <sys/resource.h>

namespace platform {

std::int64_t PeakResidentKilobytes() {
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    return usage.ru_maxrss;  // Linux reports kibibytes
}

}  // namespace platform
