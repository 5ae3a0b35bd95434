#include "platform/CpuTime.h"

#include "platform/SmallFile.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

// The fields after the command name, which is put in parentheses and may itself contain
// blanks and parentheses: everything after the last ')'.
bool ParseStat(const std::string& text, char* state, long long* utime, long long* stime) {
    const auto close = text.rfind(')');
    if (close == std::string::npos) return false;
    const char* p = text.c_str() + close + 1;
    while (*p == ' ') ++p;
    *state = *p;
    // state is field 3; utime and stime are fields 14 and 15.
    for (int field = 3; field < 14; ++field) {
        p = std::strchr(p, ' ');
        if (p == nullptr) return false;
        ++p;
    }
    char* end = nullptr;
    *utime = std::strtoll(p, &end, 10);
    if (end == p || *end != ' ') return false;
    p = end + 1;
    *stime = std::strtoll(p, &end, 10);
    return end != p;
}

bool StillTheSameProcess(int pidfd) {
    if (pidfd < 0) return true;
    return ::syscall(SYS_pidfd_send_signal, pidfd, 0, nullptr, 0) == 0;
}

}  // namespace

std::int64_t ProcessCpuTime100ns(int pid, int pidfd) {
    if (pid <= 0) return -1;
    std::string text;
    if (!ReadSmallFile("/proc/" + std::to_string(pid) + "/stat", &text)) return -1;
    char state = 0;
    long long utime = 0, stime = 0;
    if (!ParseStat(text, &state, &utime, &stime)) return -1;
    if (state == 'Z' || state == 'X' || state == 'x') return -1;
    // Checked after the read: a pid reused before the read would fail this test.
    if (!StillTheSameProcess(pidfd)) return -1;
    static const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    const long long ticks = utime + stime;
    return static_cast<std::int64_t>(ticks * 10'000'000LL / (ticksPerSecond > 0 ? ticksPerSecond : 100));
}

int ProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return count;
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

}  // namespace platform
