#include "platform/ChildWait.h"

#include <poll.h>

#include <cerrno>

namespace platform {

bool WaitForChildExitFor(int pidfd, int timeoutMs) {
    // A pidfd becomes readable when its process ends.
    struct pollfd entry {};
    entry.fd = pidfd;
    entry.events = POLLIN;
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

}  // namespace platform
