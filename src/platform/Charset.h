#pragma once

#include <string>
#include <string_view>

namespace platform {

// bytes, written in charset (a name the C library's converter knows, such as "CP1251"), as
// UTF-8 in out. False when the system cannot convert from charset, or bytes hold a sequence
// that is not valid in it (a text that cannot have been written in it).
bool ConvertToUtf8(std::string_view bytes, const char* charset, std::string* out);

}  // namespace platform
