#include "codecs/HashFile.h"

#include <array>
#include <cstdint>

#include "codecs/Md5.h"
#include "platform/File.h"

namespace {
constexpr std::size_t kChunkSize = 16384;
}

bool HashFile(const std::string& path, std::string& hash) {
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;

    CMd5 md5;
    std::array<std::uint8_t, kChunkSize> chunk;
    for (;;) {
        // ReadFully goes on after a short system read, so a short chunk means the file ended.
        // A read error gives no hash rather than the hash of part of the file.
        const std::int64_t got = file.ReadFully(chunk.data(), chunk.size());
        if (got < 0) return false;
        if (got > 0) md5.Update(chunk.data(), static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < chunk.size()) break;
    }
    hash = CMd5::ToHex(md5.Final());
    return true;
}
