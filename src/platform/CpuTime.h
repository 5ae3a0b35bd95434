#pragma once

#include <cstdint>

namespace platform {

// User plus system CPU time of a process in 100-ns units, from /proc/<pid>/stat. -1 when the
// process is gone: no such entry, a process that has ended (zombie), or, when pidfd is given,
// a pid that no longer belongs to the process the pidfd refers to.
std::int64_t ProcessCpuTime100ns(int pid, int pidfd = -1);

// Processors this process may run on.
int ProcessorCount();

}  // namespace platform
