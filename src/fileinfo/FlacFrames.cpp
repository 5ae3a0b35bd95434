#include "fileinfo/FlacFrames.h"

#include <array>
#include <optional>
#include <vector>

#include "fileinfo/HeaderBytes.h"
#include "fileinfo/TailBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kStreamStartBytes = 42;  // "fLaC", a block header and STREAMINFO
constexpr std::int64_t kUnknownFrameWindow = 1 << 20;
constexpr std::size_t kCrc16Bytes = 2;

struct StreamInfo {
    std::uint32_t MinBlockSize = 0;
    std::uint32_t MaxFrameSize = 0;
    std::int64_t TotalSamples = 0;
};

struct FrameHeader {
    std::size_t Length = 0;  // bytes, CRC-8 included
    std::uint32_t BlockSize = 0;
    std::uint64_t Number = 0;  // the frame's number, or its first sample's when Variable
    bool Variable = false;
};

std::optional<StreamInfo> ReadStreamInfo(platform::File& file) {
    if (!file.Seek(0)) return std::nullopt;
    const HeaderBytes b = ReadHeaderBytes(file, kStreamStartBytes);
    if (b.size() < kStreamStartBytes || !HasSignature(b, 0, "fLaC", 4) || (b[4] & 0x7F) != 0)
        return std::nullopt;
    StreamInfo info;
    info.MinBlockSize = std::uint32_t{b[8]} << 8 | b[9];
    info.MaxFrameSize = std::uint32_t{b[15]} << 16 | std::uint32_t{b[16]} << 8 | b[17];
    info.TotalSamples = std::int64_t{b[21] & 0x0F} << 32 | std::int64_t{b[22]} << 24 |
                        std::int64_t{b[23]} << 16 | std::int64_t{b[24]} << 8 | b[25];
    return info;
}

std::uint8_t Crc8(const std::uint8_t* data, std::size_t size) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

const std::array<std::uint16_t, 256>& Crc16Table() {
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i << 8;
            for (int bit = 0; bit < 8; ++bit) crc = crc & 0x8000 ? (crc << 1) ^ 0x8005 : crc << 1;
            t[i] = static_cast<std::uint16_t>(crc);
        }
        return t;
    }();
    return table;
}

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size) {
    const auto& table = Crc16Table();
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<std::uint16_t>(crc << 8 ^ table[(crc >> 8) ^ data[i]]);
    return crc;
}

// The frame or sample number, coded like UTF-8 in up to seven bytes; false when malformed.
bool ReadCodedNumber(const std::uint8_t* data, std::size_t size, std::size_t& at,
                     std::uint64_t& number) {
    if (at >= size) return false;
    const std::uint8_t first = data[at++];
    int more = 0;
    if (first < 0x80) {
        number = first;
    } else if (first == 0xFE) {
        number = 0;
        more = 6;
    } else {
        int ones = 0;
        while (ones < 7 && (first & (0x80 >> ones))) ++ones;
        if (ones < 2) return false;
        more = ones - 1;
        number = first & (0x7F >> ones);
    }
    for (; more > 0; --more) {
        if (at >= size || (data[at] & 0xC0) != 0x80) return false;
        number = number << 6 | (data[at++] & 0x3F);
    }
    return true;
}

std::uint32_t BlockSizeOfCode(unsigned code) {
    if (code == 1) return 192;
    if (code >= 2 && code <= 5) return 576u << (code - 2);
    if (code >= 8) return 256u << (code - 8);
    return 0;  // 0 reserved; 6 and 7 follow the number
}

// The frame header at data[0]; nullopt when the bytes there are not one (CRC-8 included).
std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* data, std::size_t size) {
    if (size < 6 || data[0] != 0xFF || (data[1] & 0xFE) != 0xF8) return std::nullopt;
    FrameHeader header;
    header.Variable = data[1] & 1;
    const unsigned blockCode = data[2] >> 4;
    const unsigned rateCode = data[2] & 0x0F;
    if (blockCode == 0 || rateCode == 15 || (data[3] >> 4) > 10 || (data[3] & 1))
        return std::nullopt;
    std::size_t at = 4;
    if (!ReadCodedNumber(data, size, at, header.Number)) return std::nullopt;
    header.BlockSize = BlockSizeOfCode(blockCode);
    const std::size_t blockBytes = blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0;
    const std::size_t rateBytes = rateCode == 12 ? 1 : rateCode >= 13 ? 2 : 0;
    if (at + blockBytes + rateBytes + 1 > size) return std::nullopt;
    if (blockBytes == 1) header.BlockSize = data[at] + 1u;
    if (blockBytes == 2) header.BlockSize = (std::uint32_t{data[at]} << 8 | data[at + 1]) + 1u;
    at += blockBytes + rateBytes;
    if (Crc8(data, at) != data[at]) return std::nullopt;
    header.Length = at + 1;
    return header;
}

std::string Describe(std::int64_t endSample, std::int64_t total) {
    return "cut short: its last whole frame ends at sample " + std::to_string(endSample) +
           " of the " + std::to_string(total) + " its STREAMINFO promises";
}

}  // namespace

std::string FindFlacStreamCut(platform::File& file, std::int64_t fileSize) {
    const std::optional<StreamInfo> info = ReadStreamInfo(file);
    if (!info || info->TotalSamples == 0) return {};
    const std::int64_t end = AudioEnd(file, fileSize);
    const std::int64_t window =
        info->MaxFrameSize > 0 ? info->MaxFrameSize + std::int64_t{64} : kUnknownFrameWindow;
    const std::vector<std::uint8_t> tail = ReadBytesBefore(file, kStreamStartBytes, end, window);
    if (tail.size() < kCrc16Bytes) return "cut short: it holds no frame";
    const std::size_t body = tail.size() - kCrc16Bytes;
    const std::uint16_t crc = static_cast<std::uint16_t>(tail[body] << 8 | tail[body + 1]);
    // The last frame is the last frame header from which the CRC-16 runs to the end.
    for (std::size_t p = body; p-- > 0;) {
        const std::optional<FrameHeader> header = ParseFrameHeader(tail.data() + p, body - p);
        if (!header || Crc16(tail.data() + p, body - p) != crc) continue;
        const std::uint64_t first =
            header->Variable ? header->Number : header->Number * info->MinBlockSize;
        const auto endSample = static_cast<std::int64_t>(first + header->BlockSize);
        return endSample == info->TotalSamples ? std::string()
                                               : Describe(endSample, info->TotalSamples);
    }
    return "cut short: its last frame is incomplete";
}
