#include "plugins/compare/WavFormat.h"

#include <cstdint>
#include <cstring>

#include "plugins/compare/RawFile.h"

namespace {

// "fmt " comes first in nearly every file; editors put a few small chunks before it at most.
constexpr int kMaxChunksBeforeFormat = 64;

std::uint32_t Little32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

unsigned Little16(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}

}  // namespace

WavFormat ReadWavFormat(const std::string& path) {
    WavFormat format;
    CRawFile file;
    unsigned char header[12];
    if (!file.Open(path) || file.Read(header, sizeof header) != sizeof header) return format;
    const bool riff = std::memcmp(header, "RIFF", 4) == 0 || std::memcmp(header, "RF64", 4) == 0;
    if (!riff || std::memcmp(header + 8, "WAVE", 4) != 0) return format;
    std::uint64_t offset = sizeof header;
    for (int chunk = 0; chunk < kMaxChunksBeforeFormat; ++chunk) {
        unsigned char chunkHeader[8];
        if (!file.Seek(offset) ||
            file.Read(chunkHeader, sizeof chunkHeader) != sizeof chunkHeader) {
            return format;
        }
        const std::uint32_t size = Little32(chunkHeader + 4);
        if (std::memcmp(chunkHeader, "fmt ", 4) == 0) {
            unsigned char fields[8];
            if (size < sizeof fields || file.Read(fields, sizeof fields) != sizeof fields) {
                return format;
            }
            format.channels = Little16(fields + 2);
            format.sampleRate = Little32(fields + 4);
            format.valid = format.channels > 0 && format.sampleRate > 0;
            return format;
        }
        // Chunks are padded to an even size.
        offset += sizeof chunkHeader + size + (size & 1u);
    }
    return format;
}
