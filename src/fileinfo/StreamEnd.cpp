#include "fileinfo/StreamEnd.h"

#include "fileinfo/FileInfo.h"
#include "fileinfo/FlacFrames.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/HeaderBytes.h"
#include "fileinfo/WavPackBlocks.h"
#include "platform/File.h"

namespace {

constexpr std::int64_t kTtaHeaderBytes = 22;
constexpr std::int64_t kTtaTableCrcBytes = 4;

// A TTA file has a frame of 256/245 seconds' worth of samples (the last one shorter), and
// after its header a table of every frame's size: the file must hold them all. Taggers append
// tags after them.
std::string FindTtaStreamCut(platform::File& file, std::int64_t fileSize) {
    if (!file.Seek(0)) return {};
    const HeaderBytes header = ReadHeaderBytes(file, kTtaHeaderBytes);
    if (header.size() < kTtaHeaderBytes || !HasSignature(header, 0, "TTA1", 4)) return {};
    const std::int64_t rate = LittleEndian32(header, 10);
    const std::int64_t samples = LittleEndian32(header, 14);
    const std::int64_t frameLength = rate * 256 / 245;
    if (frameLength == 0) return {};
    const std::int64_t frames = (samples + frameLength - 1) / frameLength;
    std::int64_t expected = kTtaHeaderBytes + frames * 4 + kTtaTableCrcBytes;
    if (expected > fileSize) {
        return "cut short: its seek table alone needs " + std::to_string(expected) +
               " bytes, the file holds " + std::to_string(fileSize);
    }
    const HeaderBytes table = ReadHeaderBytes(file, static_cast<std::size_t>(frames * 4));
    if (static_cast<std::int64_t>(table.size()) < frames * 4) return {};
    for (std::int64_t i = 0; i < frames; ++i)
        expected += LittleEndian32(table, static_cast<std::size_t>(i * 4));
    if (expected <= fileSize) return {};
    return "cut short: its frames need " + std::to_string(expected) + " bytes, the file holds " +
           std::to_string(fileSize);
}

}  // namespace

std::string FindStreamCut(const std::string& path, const CFileInfo& record) {
    if (record.FormatId != kFormatFLAC && record.FormatId != kFormatWavPack &&
        record.FormatId != kFormatTTA)
        return {};
    platform::File file = platform::File::OpenRead(path);
    const std::int64_t size = file.IsOpen() ? file.Size() : -1;
    if (size < 0) return {};
    if (record.FormatId == kFormatFLAC) return FindFlacStreamCut(file, size);
    if (record.FormatId == kFormatWavPack) return FindWavPackStreamCut(file, size);
    return FindTtaStreamCut(file, size);
}
