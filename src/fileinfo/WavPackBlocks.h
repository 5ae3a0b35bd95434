#pragma once

#include <cstdint>
#include <string>

namespace platform {
class File;
}

// Whether a WavPack file holds its whole stream: a block ends exactly where the file does
// (tags aside), and the last block with samples ends at the total the block headers give.
// wavpack writes that total into the first block once it has finished, so a file cut short
// afterwards still promises the whole length. Empty when the stream is whole, or when the
// total is unknown; otherwise why not.
std::string FindWavPackStreamCut(platform::File& file, std::int64_t fileSize);
