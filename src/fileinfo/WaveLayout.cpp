#include "fileinfo/WaveLayout.h"

#include <algorithm>

#include "fileinfo/HeaderBytes.h"
#include "fileinfo/RiffChunks.h"
#include "platform/File.h"

namespace {

constexpr std::int64_t kFirstChunk = 12;
constexpr std::size_t kFormatBytesUsed = 16;
constexpr std::uint32_t kExtensibleFormatBytes = 40;
constexpr std::size_t kSubFormatOffset = 24;
constexpr std::size_t kDs64DataSizeOffset = 8;

bool IsSizePlaceholder(std::uint32_t size) {
    return size == 0 || size == 0xFFFFFFFFu || size == 0x7FFFFFFFu || size == 0x7FFFF000u;
}

// The ds64 chunk's 64-bit data size; 0 when there is none (a writer that could not go back).
std::int64_t Ds64DataSize(platform::File& file, std::int64_t fileSize) {
    RiffChunk ds64;
    if (!FindRiffChunk(file, kFirstChunk, fileSize, "ds64", ds64) || ds64.BodySize < 16 ||
        !file.Seek(ds64.BodyOffset))
        return 0;
    const HeaderBytes body = ReadHeaderBytes(file, 16);
    if (body.size() < 16) return 0;
    const std::uint64_t size = std::uint64_t{LittleEndian32(body, kDs64DataSizeOffset)} |
                               std::uint64_t{LittleEndian32(body, kDs64DataSizeOffset + 4)} << 32;
    return size > static_cast<std::uint64_t>(fileSize) ? fileSize : static_cast<std::int64_t>(size);
}

bool ReadFormat(platform::File& file, const RiffChunk& chunk, WaveFormat& format) {
    if (!file.Seek(chunk.BodyOffset)) return false;
    // 16 bytes whatever the chunk's size says, as WAV files have always been read here.
    const HeaderBytes bytes = ReadHeaderBytes(file, kFormatBytesUsed);
    if (bytes.size() < kFormatBytesUsed) return false;
    format.Tag = LittleEndian16(bytes, 0);
    format.Channels = SignedLittleEndian16(bytes, 2);
    format.SampleRate = LittleEndian32(bytes, 4);
    format.ByteRate = SignedLittleEndian32(bytes, 8);
    format.BlockAlign = LittleEndian16(bytes, 12);
    format.BitsPerSample = SignedLittleEndian16(bytes, 14);
    if (format.Tag == WaveFormat::kExtensible && chunk.BodySize >= kExtensibleFormatBytes &&
        file.Seek(chunk.BodyOffset + kSubFormatOffset)) {
        const HeaderBytes subFormat = ReadHeaderBytes(file, 2);
        if (subFormat.size() == 2) {
            format.Extensible = true;
            format.Tag = LittleEndian16(subFormat, 0);
        }
    }
    return true;
}

void ReadData(platform::File& file, std::int64_t fileSize, WaveLayout& layout) {
    RiffChunk data;
    if (!FindRiffChunk(file, kFirstChunk, fileSize, "data", data)) return;
    layout.HasData = true;
    layout.DataOffset = data.BodyOffset;
    const std::int64_t held = std::max<std::int64_t>(fileSize - data.BodyOffset, 0);
    const std::int64_t ds64Size = layout.Rf64 ? Ds64DataSize(file, fileSize) : 0;
    if (layout.Rf64 && data.BodySize == 0xFFFFFFFFu && ds64Size > 0) {
        layout.DataBytes = std::min(ds64Size, held);
    } else if (layout.Rf64 || IsSizePlaceholder(data.BodySize)) {
        layout.DataBytes = held;
    } else {
        layout.PromisedBytes = data.BodySize;
        layout.DataBytes = std::min<std::int64_t>(data.BodySize, held);
    }
}

}  // namespace

std::int64_t WaveLayout::Frames() const {
    if (!HasData || Format.BlockAlign <= 0) return -1;
    return DataBytes / Format.BlockAlign;
}

WaveLayoutStatus ReadWaveLayout(platform::File& file, WaveLayout& layout) {
    layout = {};
    const HeaderBytes start = ReadHeaderBytes(file, 12);
    layout.Rf64 = HasSignature(start, 0, "RF64", 4) || HasSignature(start, 0, "BW64", 4);
    if (!layout.Rf64 && !HasSignature(start, 0, "RIFF", 4)) return WaveLayoutStatus::NoRiff;
    if (!HasSignature(start, 8, "WAVE", 4)) return WaveLayoutStatus::NoWave;
    const std::int64_t fileSize = file.Size();
    RiffChunk format;
    if (fileSize < 0 || !FindRiffChunk(file, kFirstChunk, fileSize, "fmt ", format))
        return WaveLayoutStatus::NoFormat;
    if (!ReadFormat(file, format, layout.Format)) return WaveLayoutStatus::ShortFormat;
    ReadData(file, fileSize, layout);
    return WaveLayoutStatus::Read;
}
