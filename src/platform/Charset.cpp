#include "platform/Charset.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

bool ConvertToUtf8(std::string_view bytes, const char* charset, std::string* out) {
    const iconv_t converter = ::iconv_open("UTF-8", charset);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    out->clear();
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    bool valid = true;
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof(buffer);
        const std::size_t done = ::iconv(converter, &in, &inLeft, &to, &toLeft);
        out->append(buffer, static_cast<std::size_t>(to - buffer));
        // A full buffer is emptied and the conversion goes on; anything else is a byte
        // sequence charset does not have.
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            valid = false;
            break;
        }
    }
    ::iconv_close(converter);
    return valid;
}

}  // namespace platform
