#include "fileinfo/RiffChunks.h"

#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr int kMaxChunksWalked = 4096;
constexpr std::int64_t kChunkHeaderBytes = 8;

}  // namespace

bool FindRiffChunk(platform::File& file, std::int64_t begin, std::int64_t end, const char* id,
                   RiffChunk& found) {
    std::int64_t position = begin;
    for (int chunk = 0; chunk < kMaxChunksWalked; ++chunk) {
        if (position + kChunkHeaderBytes > end || !file.Seek(position)) return false;
        const HeaderBytes header = ReadHeaderBytes(file, kChunkHeaderBytes);
        if (header.size() < kChunkHeaderBytes) return false;
        const std::uint32_t size = LittleEndian32(header, 4);
        if (HasSignature(header, 0, id, 4)) {
            found.BodyOffset = position + kChunkHeaderBytes;
            found.BodySize = size;
            return true;
        }
        position += kChunkHeaderBytes + size + (size & 1);
    }
    return false;
}
