#include "fileinfo/FormatReaderCAF.h"

#include <bit>
#include <cmath>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/MediaInfoHandle.h"
#include "fileinfo/MediaInfoQuery.h"
#include "platform/File.h"

namespace {

constexpr std::int64_t kFirstChunk = 8;
constexpr std::size_t kChunkHeaderBytes = 12;
constexpr std::size_t kDescBytes = 32;
constexpr std::size_t kPaktBytes = 24;
constexpr std::int64_t kEditCountBytes = 4;
constexpr std::size_t kAlacCookieBytes = 48;
constexpr int kMostChunks = 256;

struct CafChunks {
    bool HasDesc = false;
    double SampleRate = 0;
    bool Pcm = false;
    bool Alac = false;
    std::int32_t AlacBits = 0;
    std::uint32_t BytesPerPacket = 0;
    std::uint32_t FramesPerPacket = 0;
    std::uint32_t Channels = 0;
    std::uint32_t Bits = 0;
    std::int64_t DataBytes = -1;
    std::int64_t ValidFrames = -1;
};

void ReadChunks(platform::File& file, std::int64_t fileSize, CafChunks& caf) {
    std::int64_t at = kFirstChunk;
    for (int i = 0; i < kMostChunks && at + 12 <= fileSize && file.Seek(at); ++i) {
        const HeaderBytes h = ReadHeaderBytes(file, kChunkHeaderBytes);
        if (h.size() < kChunkHeaderBytes) return;
        const auto size = static_cast<std::int64_t>(BigEndian64(h, 4));
        const std::int64_t body = at + static_cast<std::int64_t>(kChunkHeaderBytes);
        if (HasSignature(h, 0, "desc", 4)) {
            const HeaderBytes d = ReadHeaderBytes(file, kDescBytes);
            if (d.size() < kDescBytes) return;
            caf.HasDesc = true;
            caf.SampleRate = std::bit_cast<double>(BigEndian64(d, 0));
            caf.Pcm = HasSignature(d, 8, "lpcm", 4);
            caf.Alac = HasSignature(d, 8, "alac", 4);
            caf.BytesPerPacket = BigEndian32(d, 16);
            caf.FramesPerPacket = BigEndian32(d, 20);
            caf.Channels = BigEndian32(d, 24);
            caf.Bits = BigEndian32(d, 28);
        } else if (HasSignature(h, 0, "kuki", 4)) {
            // ALAC's configuration (its depth in byte 5), bare as Apple writes it, or in the
            // "frma" and "alac" atoms of an MP4 file as FFmpeg does.
            const HeaderBytes k = ReadHeaderBytes(file, kAlacCookieBytes);
            const std::size_t config = HasSignature(k, 4, "frma", 4) ? 24 : 0;
            if (config + 6 <= k.size()) caf.AlacBits = k[config + 5];
        } else if (HasSignature(h, 0, "pakt", 4)) {
            const HeaderBytes p = ReadHeaderBytes(file, kPaktBytes);
            if (p.size() == kPaktBytes) caf.ValidFrames = static_cast<std::int64_t>(BigEndian64(p, 8));
        } else if (HasSignature(h, 0, "data", 4)) {
            // -1: the data runs to the end of the file, and is its last chunk.
            const std::int64_t held = fileSize - body;
            caf.DataBytes = (size < 0 || size > held ? held : size) - kEditCountBytes;
            if (size < 0) return;
        }
        if (size < 0 || size > fileSize - body) return;
        at = body + size;
    }
}

std::int64_t Frames(const CafChunks& caf) {
    if (caf.ValidFrames >= 0) return caf.ValidFrames;
    if (caf.DataBytes < 0 || caf.BytesPerPacket == 0 || caf.FramesPerPacket == 0) return -1;
    return caf.DataBytes / caf.BytesPerPacket * caf.FramesPerPacket;
}

}  // namespace

bool CFormatReaderCAF::Read(const std::string& path, CFileInfo* record,
                            MediaInfoHandle* mediaInfo) {
    if (!record) return false;
    CafChunks caf;
    {
        platform::File file = platform::File::OpenRead(path);
        if (!file.IsOpen() || !HasSignature(ReadHeaderBytes(file, 4), 0, "caff", 4)) return false;
        ReadChunks(file, file.Size(), caf);
    }
    // A file refused keeps every field as it was.
    if (!caf.HasDesc || !(caf.SampleRate >= 1 && caf.SampleRate < 1e9)) return false;
    {
        CMediaInfoQuery query(mediaInfo, path);
        query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Resolution, *record);
        query.Store(MediaInfoHandle::kStreamAudio, MediaInfoProperty::Codec, *record);
    }
    record->SampleRate = static_cast<std::int32_t>(std::lround(caf.SampleRate));
    record->Channels = static_cast<std::int32_t>(caf.Channels & 0xFFFFu);
    if (caf.Pcm) record->Resolution = static_cast<std::int32_t>(caf.Bits & 0xFFu);
    if (caf.Alac && caf.AlacBits > 0) record->Resolution = caf.AlacBits;
    record->SetExactLength(Frames(caf));
    // MediaInfo's bit rate follows its own idea of the length.
    if (record->Duration > 0 && caf.DataBytes > 0)
        record->BitRate = static_cast<double>(caf.DataBytes) * 8 / record->Duration / 1000;
    return true;
}
