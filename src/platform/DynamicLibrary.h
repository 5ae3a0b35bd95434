#pragma once

#include <string>

namespace platform {

// dlopen/dlsym/dlclose. Errors carry dlerror()'s text.
struct LibraryResult {
    void* handle = nullptr;
    std::string error;  // dlerror() text when handle is null
};

// dlopen(path, RTLD_NOW | RTLD_LOCAL).
LibraryResult LoadLibrary(const std::string& path);
// dlsym; null when the symbol is missing.
void* GetSymbol(void* handle, const char* name);
// dlclose; false with nothing done for a null handle.
bool FreeLibrary(void* handle);

}  // namespace platform
