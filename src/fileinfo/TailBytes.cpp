#include "fileinfo/TailBytes.h"

#include <algorithm>

#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr std::int64_t kId3v1Bytes = 128;
constexpr std::int64_t kApeFooterBytes = 32;
constexpr std::uint32_t kApeHasHeader = 0x80000000u;

}  // namespace

std::int64_t AudioEnd(platform::File& file, std::int64_t fileSize) {
    std::int64_t end = fileSize;
    if (end >= kId3v1Bytes && file.Seek(end - kId3v1Bytes) &&
        HasSignature(ReadHeaderBytes(file, 3), 0, "TAG", 3))
        end -= kId3v1Bytes;
    if (end >= kApeFooterBytes && file.Seek(end - kApeFooterBytes)) {
        const HeaderBytes footer = ReadHeaderBytes(file, kApeFooterBytes);
        if (footer.size() == kApeFooterBytes && HasSignature(footer, 0, "APETAGEX", 8)) {
            // The size counts the items and the footer; a header of 32 bytes may come first.
            std::int64_t tag = LittleEndian32(footer, 12);
            if (LittleEndian32(footer, 20) & kApeHasHeader) tag += kApeFooterBytes;
            if (tag >= kApeFooterBytes && tag <= end) end -= tag;
        }
    }
    return end;
}

std::vector<std::uint8_t> ReadBytesBefore(platform::File& file, std::int64_t begin,
                                          std::int64_t end, std::int64_t size) {
    const std::int64_t start = std::max(begin, end - size);
    if (start >= end || !file.Seek(start)) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end - start));
    if (file.ReadFully(bytes.data(), bytes.size()) != static_cast<std::int64_t>(bytes.size()))
        return {};
    return bytes;
}
