#pragma once

#include <cstdint>

namespace platform {
class File;
}

// Where a RIFF chunk's body lies in the file.
struct RiffChunk {
    std::int64_t BodyOffset = 0;
    std::uint32_t BodySize = 0;
};

// Walks the RIFF chunks that start at begin (the first chunk header) and end before end,
// looking for the chunk with the four-byte id. Chunks are padded to an even size. Gives up
// after a few thousand chunks: real files put a handful before the one wanted.
bool FindRiffChunk(platform::File& file, std::int64_t begin, std::int64_t end, const char* id,
                   RiffChunk& found);
