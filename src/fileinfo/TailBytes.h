#pragma once

#include <cstdint>
#include <vector>

namespace platform {
class File;
}

// Where a file's audio ends: before the tags that taggers append to FLAC, WavPack and TTA
// files (an APEv2 tag, an ID3v1 tag after it). The file's size when it has none.
std::int64_t AudioEnd(platform::File& file, std::int64_t fileSize);

// The bytes [end - size, end) of the file, fewer when end - size falls before begin; empty
// when they cannot be read.
std::vector<std::uint8_t> ReadBytesBefore(platform::File& file, std::int64_t begin,
                                          std::int64_t end, std::int64_t size);
