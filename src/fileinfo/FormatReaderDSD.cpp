#include "fileinfo/FormatReaderDSD.h"

#include <algorithm>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

// DSF: the 28-byte "DSD " chunk, then the 52-byte "fmt " chunk.
constexpr std::size_t kDsfHeaderBytes = 80;
constexpr std::size_t kDsfFormat = 28;
// DSDIFF: "FRM8", its 64-bit size and the form type "DSD ", then chunks of a 4-byte id and a
// 64-bit size, padded to even lengths.
constexpr std::int64_t kDffFirstChunk = 16;
constexpr std::size_t kChunkHeaderBytes = 12;
constexpr int kMostChunks = 256;
// A DST frame holds 1/75 s.
constexpr std::int64_t kDstFramesPerSecond = 75;

void StoreDsd(CFileInfo& record, std::uint32_t rate, std::uint32_t channels) {
    record.SampleRate = static_cast<std::int32_t>(std::min<std::uint32_t>(rate, 0x7FFFFFFFu));
    record.Channels = static_cast<std::int32_t>(std::min<std::uint32_t>(channels, 0xFFFFu));
    record.Resolution = 1;
    record.Codec = "DSD";
    record.BitRate = static_cast<double>(record.SampleRate) * record.Channels / 1000.0;
}

bool ReadDsf(platform::File& file, CFileInfo& record) {
    if (!file.Seek(0)) return false;
    const HeaderBytes b = ReadHeaderBytes(file, kDsfHeaderBytes);
    if (b.size() < kDsfHeaderBytes || !HasSignature(b, kDsfFormat, "fmt ", 4)) return false;
    StoreDsd(record, LittleEndian32(b, kDsfFormat + 28), LittleEndian32(b, kDsfFormat + 24));
    const std::uint64_t samples = LittleEndian64(b, kDsfFormat + 36);
    if (samples <= 0x7FFFFFFFFFFFull) record.SetExactLength(static_cast<std::int64_t>(samples));
    return true;
}

// Reads the property chunk's sub-chunks from body to end: the rate, the channels, whether the
// stream is DST-compressed.
void ReadDffProperties(platform::File& file, std::int64_t body, std::int64_t end,
                       CFileInfo& record, bool& dst) {
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    std::int64_t at = body + 4;  // past "SND "
    for (int i = 0; i < kMostChunks && at + 12 <= end && file.Seek(at); ++i) {
        const HeaderBytes h = ReadHeaderBytes(file, kChunkHeaderBytes + 4);
        if (h.size() < kChunkHeaderBytes + 4) break;
        const std::uint64_t size = BigEndian64(h, 4);
        if (HasSignature(h, 0, "FS  ", 4)) rate = BigEndian32(h, 12);
        if (HasSignature(h, 0, "CHNL", 4)) channels = (h[12] << 8) | h[13];
        if (HasSignature(h, 0, "CMPR", 4)) dst = HasSignature(h, 12, "DST ", 4);
        if (size > static_cast<std::uint64_t>(end - at)) break;
        at += static_cast<std::int64_t>(kChunkHeaderBytes + size + (size & 1));
    }
    StoreDsd(record, rate, channels);
}

bool ReadDff(platform::File& file, CFileInfo& record) {
    const std::int64_t fileSize = file.Size();
    if (!file.Seek(0)) return false;
    const HeaderBytes form = ReadHeaderBytes(file, kDffFirstChunk);
    if (form.size() < kDffFirstChunk || !HasSignature(form, 12, "DSD ", 4)) return false;
    bool dst = false;
    bool properties = false;
    std::int64_t at = kDffFirstChunk;
    for (int i = 0; i < kMostChunks && at + 12 <= fileSize && file.Seek(at); ++i) {
        const HeaderBytes h = ReadHeaderBytes(file, kChunkHeaderBytes + 6);
        if (h.size() < kChunkHeaderBytes) break;
        const std::uint64_t size = BigEndian64(h, 4);
        const std::int64_t body = at + static_cast<std::int64_t>(kChunkHeaderBytes);
        const std::int64_t held = fileSize - body;
        if (HasSignature(h, 0, "PROP", 4)) {
            ReadDffProperties(file, body, body + std::min<std::int64_t>(
                                                     static_cast<std::int64_t>(size), held),
                              record, dst);
            properties = true;
        } else if (properties && HasSignature(h, 0, "DSD ", 4) && record.Channels > 0) {
            const std::int64_t bytes = std::min<std::int64_t>(static_cast<std::int64_t>(size), held);
            record.SetExactLength(bytes * 8 / record.Channels);
            if (size > static_cast<std::uint64_t>(held)) {
                record.Truncation = "truncated: its DSD chunk promises " + std::to_string(size) +
                                    " bytes, the file holds " + std::to_string(held);
            }
            return true;
        } else if (properties && dst && HasSignature(h, 0, "DST ", 4) && h.size() >= 18 &&
                   HasSignature(h, 12, "FRTE", 4)) {
            // The frame count follows the "FRTE" chunk's own header.
            if (file.Seek(body + 12)) {
                const HeaderBytes frames = ReadHeaderBytes(file, 4);
                if (frames.size() == 4)
                    record.SetExactLength(std::int64_t{BigEndian32(frames, 0)} *
                                          record.SampleRate / kDstFramesPerSecond);
            }
            return true;
        }
        if (size > static_cast<std::uint64_t>(held)) break;
        at = body + static_cast<std::int64_t>(size + (size & 1));
    }
    return properties;
}

}  // namespace

bool CFormatReaderDSD::Read(const std::string& path, CFileInfo* record, MediaInfoHandle*) {
    if (!record) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes magic = ReadHeaderBytes(file, 4);
    if (HasSignature(magic, 0, "DSD ", 4)) return ReadDsf(file, *record);
    if (HasSignature(magic, 0, "FRM8", 4)) return ReadDff(file, *record);
    return false;
}
