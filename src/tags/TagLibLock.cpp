#include "tags/TagLibLock.h"

std::unique_lock<std::mutex> LockTagLib() {
    static std::mutex mutex;
    return std::unique_lock<std::mutex>(mutex);
}
