#pragma once

#include <string>

namespace platform {

// A failed system call: errno and its text.
struct Error {
    // The code of an entry that exists but is no regular file (a named pipe, a socket, a
    // device), where a file to read was expected; no errno says so.
    static constexpr int kNotRegularFile = -1;

    int code = 0;
    std::string text;

    explicit operator bool() const { return code != 0; }
    static Error FromErrno(int code);
    // "not a regular file (named pipe)"; kind names what the entry is.
    static Error NotRegularFile(const std::string& kind);
};

}  // namespace platform
