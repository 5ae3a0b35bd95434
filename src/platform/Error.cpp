#include "platform/Error.h"

#include <cstring>

namespace platform {

Error Error::FromErrno(int code) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return Error{code, text ? text : ""};
}

Error Error::NotRegularFile(const std::string& kind) {
    return Error{kNotRegularFile, "not a regular file (" + kind + ")"};
}

}  // namespace platform
