#include "fileinfo/FormatReaderAU.h"

#include <algorithm>

#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "platform/File.h"

namespace {

constexpr std::size_t kHeaderBytes = 24;
constexpr std::uint32_t kOpenSize = 0xFFFFFFFFu;

struct AuEncoding {
    std::uint32_t Code;
    std::int32_t Bits;  // as listed: the stored width, 8 for the companded codes
    std::int32_t BytesPerSample;
    const char* Codec;
};

constexpr AuEncoding kEncodings[] = {
    {1, 8, 1, "mu-law"}, {2, 8, 1, "PCM"},   {3, 16, 2, "PCM"},   {4, 24, 3, "PCM"},
    {5, 32, 4, "PCM"},   {6, 32, 4, "Float"}, {7, 64, 8, "Float"}, {27, 8, 1, "A-law"},
};

const AuEncoding* FindEncoding(std::uint32_t code) {
    for (const AuEncoding& encoding : kEncodings)
        if (encoding.Code == code) return &encoding;
    return nullptr;
}

}  // namespace

bool CFormatReaderAU::Read(const std::string& path, CFileInfo* record, MediaInfoHandle*) {
    if (!record) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    const HeaderBytes header = ReadHeaderBytes(file, kHeaderBytes);
    const std::int64_t fileSize = file.Size();
    file.Close();
    if (header.size() < kHeaderBytes || !HasSignature(header, 0, ".snd", 4)) return false;
    const std::int64_t dataOffset = BigEndian32(header, 4);
    const std::uint32_t dataSize = BigEndian32(header, 8);
    record->SampleRate = static_cast<std::int32_t>(std::min<std::uint32_t>(
        BigEndian32(header, 16), 0x7FFFFFFFu));
    record->Channels = static_cast<std::int32_t>(std::min<std::uint32_t>(
        BigEndian32(header, 20), 0x7FFFFFFFu));
    const AuEncoding* encoding = FindEncoding(BigEndian32(header, 12));
    if (!encoding) {
        // ADPCM and the other rare codings: listed, their length left to the decoder.
        record->Codec = "AU encoding " + std::to_string(BigEndian32(header, 12));
        return true;
    }
    record->Codec = encoding->Codec;
    record->Resolution = encoding->Bits;
    record->BitRate = static_cast<double>(record->SampleRate) * record->Channels *
                      encoding->BytesPerSample * 8 / 1000.0;
    const std::int64_t held = std::max<std::int64_t>(fileSize - dataOffset, 0);
    std::int64_t bytes = held;
    if (dataSize != kOpenSize) {
        bytes = std::min<std::int64_t>(dataSize, held);
        if (dataSize > held) {
            record->Truncation = "truncated: the header promises " + std::to_string(dataSize) +
                                 " bytes of samples, the file holds " + std::to_string(held);
        }
    }
    const std::int64_t frame = std::int64_t{encoding->BytesPerSample} * record->Channels;
    if (frame > 0) record->SetExactLength(bytes / frame);
    return true;
}
