#include "fileinfo/HeaderBytes.h"

#include <cstring>

#include "platform/File.h"

HeaderBytes ReadHeaderBytes(platform::File& file, std::size_t count) {
    HeaderBytes buffer(count);
    const std::int64_t got = file.ReadFully(buffer.data(), count);
    if (got == static_cast<std::int64_t>(count)) return buffer;
    const auto kept = static_cast<std::size_t>(got < 0 ? 0 : got);
    return HeaderBytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
}

std::uint16_t LittleEndian16(const HeaderBytes& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t LittleEndian32(const HeaderBytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::uint64_t LittleEndian64(const HeaderBytes& bytes, std::size_t offset) {
    return std::uint64_t{LittleEndian32(bytes, offset)} |
           std::uint64_t{LittleEndian32(bytes, offset + 4)} << 32;
}

std::uint32_t BigEndian32(const HeaderBytes& bytes, std::size_t offset) {
    return (static_cast<std::uint32_t>(bytes[offset]) << 24) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 8) |
           static_cast<std::uint32_t>(bytes[offset + 3]);
}

std::uint64_t BigEndian64(const HeaderBytes& bytes, std::size_t offset) {
    return std::uint64_t{BigEndian32(bytes, offset)} << 32 | BigEndian32(bytes, offset + 4);
}

std::int32_t SignedLittleEndian16(const HeaderBytes& bytes, std::size_t offset) {
    return static_cast<std::int16_t>(LittleEndian16(bytes, offset));
}

std::int32_t SignedLittleEndian32(const HeaderBytes& bytes, std::size_t offset) {
    return static_cast<std::int32_t>(LittleEndian32(bytes, offset));
}

bool HasSignature(const HeaderBytes& bytes, std::size_t offset, const char* signature,
                  std::size_t length) {
    return offset + length <= bytes.size() &&
           std::memcmp(bytes.data() + offset, signature, length) == 0;
}
