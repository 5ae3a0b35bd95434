#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {

namespace {
// dlerror() keeps its text per thread, but the dlopen/dlerror pair must not be split by
// another call on the same thread; a lock keeps the text with its call when threads race.
std::mutex& DlMutex() {
    static std::mutex mutex;
    return mutex;
}
}  // namespace

LibraryResult LoadLibrary(const std::string& path) {
    std::lock_guard lock(DlMutex());
    LibraryResult result;
    result.handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!result.handle) {
        const char* text = ::dlerror();
        result.error = text ? text : "unknown error";
    }
    return result;
}

void* GetSymbol(void* handle, const char* name) {
    if (!handle) return nullptr;
    std::lock_guard lock(DlMutex());
    return ::dlsym(handle, name);
}

bool FreeLibrary(void* handle) {
    if (!handle) return false;
    std::lock_guard lock(DlMutex());
    return ::dlclose(handle) == 0;
}

}  // namespace platform
