#include "fileinfo/FormatReaderWAV.h"

#include <cstdint>

#include "base/Log.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/RiffChunks.h"
#include "platform/File.h"

namespace {

constexpr char kRiff[] = "RIFF";
constexpr char kWave[] = "WAVE";
constexpr char kFormatChunk[] = "fmt ";
constexpr std::size_t kFormatBytesUsed = 16;
constexpr std::int64_t kFirstChunk = 12;

// Positions the file at the body of the first "fmt " chunk after "WAVE": recorders and
// editors often put JUNK, bext or LIST chunks first.
bool SeekFormatChunk(platform::File& file) {
    const std::int64_t fileSize = file.Size();
    RiffChunk chunk;
    return fileSize >= 0 && FindRiffChunk(file, kFirstChunk, fileSize, kFormatChunk, chunk) &&
           file.Seek(chunk.BodyOffset);
}

}  // namespace

bool CFormatReaderWAV::Read(const std::string& path, CFileInfo* record, MediaInfoHandle*) {
    AddLogLine("File (WAV): " + path);
    if (!record) return false;
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) {
        AddLogLine("Error: opening");
        return false;
    }
    if (!HasSignature(ReadHeaderBytes(file, 8), 0, kRiff, 4)) {
        AddLogLine("Error: RIFF constant not found");
        return false;
    }
    if (!HasSignature(ReadHeaderBytes(file, 4), 0, kWave, 4)) {
        AddLogLine("Error: WAVE constant not found");
        return false;
    }
    if (!SeekFormatChunk(file)) {
        AddLogLine("Error: wavfmt_ constant not found");
        return false;
    }
    const HeaderBytes format = ReadHeaderBytes(file, kFormatBytesUsed);
    if (format.size() < kFormatBytesUsed) {
        AddLogLine("Error: reading");
        return false;
    }
    record->Channels = SignedLittleEndian16(format, 2);
    record->SampleRate = static_cast<std::int32_t>(LittleEndian32(format, 4));
    // Whole kilobits, as the header's byte rate has always been shown: 176400 -> 1411.
    record->BitRate =
        static_cast<double>(static_cast<std::int64_t>(SignedLittleEndian32(format, 8)) * 8 / 1000);
    record->Resolution = SignedLittleEndian16(format, 14);
    AddLogLine("Header (" + std::to_string(36) + " bytes) was red successfully");
    return true;
}
