#pragma once

#include <string>

namespace platform {

// A failed system call: errno and its text.
struct Error {
    int code = 0;
    std::string text;

    explicit operator bool() const { return code != 0; }
    static Error FromErrno(int code);
};

}  // namespace platform
