#pragma once

#include <cstdint>
#include <string>

// The text form of a file size in bytes, with a decimal comma.
// Mode 0 (scaled): divided by 1024 while above 1024, with the given number of decimals and the
// unit B, KB, MB, GB, TB, PB or EB: 1536 -> "1,50 KB", 1024 -> "1024,00 B".
// Mode 1 (exact): all digits in groups of three separated by spaces: 1234567 -> "1 234 567 B".
// Any other mode gives the empty string.
std::string FormatFileSize(std::int64_t value, int mode, int decimals);
