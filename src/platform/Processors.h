#pragma once

namespace platform {

// The processors this process may run on (its affinity mask, which a container or taskset may
// narrow below the machine's count); at least 1.
unsigned ProcessorCount();

}  // namespace platform
