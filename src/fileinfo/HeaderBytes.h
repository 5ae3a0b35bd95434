#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {
class File;
}

// What a header reader got from the file. The vector holds exactly the bytes read and no
// spare capacity, so a parser that strays past them leaves the allocation, which the
// sanitizers and the fuzzers catch, instead of quietly using bytes that were never read.
using HeaderBytes = std::vector<std::uint8_t>;

// Up to count bytes from the file's current position (fewer at its end or on an error).
HeaderBytes ReadHeaderBytes(platform::File& file, std::size_t count);

// Little-endian fields; the caller has checked that offset + width <= bytes.size().
std::uint16_t LittleEndian16(const HeaderBytes& bytes, std::size_t offset);
std::uint32_t LittleEndian32(const HeaderBytes& bytes, std::size_t offset);
std::int32_t SignedLittleEndian16(const HeaderBytes& bytes, std::size_t offset);
std::int32_t SignedLittleEndian32(const HeaderBytes& bytes, std::size_t offset);
std::uint64_t LittleEndian64(const HeaderBytes& bytes, std::size_t offset);
// Big-endian fields (AU, CAF, DSDIFF), under the same condition.
std::uint32_t BigEndian32(const HeaderBytes& bytes, std::size_t offset);
std::uint64_t BigEndian64(const HeaderBytes& bytes, std::size_t offset);

// True when bytes holds the signature's bytes at offset (false when they were not read).
bool HasSignature(const HeaderBytes& bytes, std::size_t offset, const char* signature,
                  std::size_t length);
