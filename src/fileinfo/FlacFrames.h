#pragma once

#include <cstdint>
#include <string>

namespace platform {
class File;
}

// Whether a FLAC file holds its whole stream: its last frame is complete (its CRC-16 matches up
// to the end of the file, tags aside) and ends at the total that STREAMINFO gives. flac writes
// STREAMINFO last, once it knows the total, so a file cut short afterwards still promises the
// whole length. Empty when the stream is whole, or when STREAMINFO gives no total; otherwise
// why not.
std::string FindFlacStreamCut(platform::File& file, std::int64_t fileSize);
