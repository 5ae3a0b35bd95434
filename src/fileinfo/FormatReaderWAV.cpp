#include "fileinfo/FormatReaderWAV.h"

#include <cstdint>

#include "base/Log.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/WaveLayout.h"
#include "platform/File.h"

namespace {

std::string TruncationText(const WaveLayout& layout) {
    return "truncated: the data chunk promises " + std::to_string(layout.PromisedBytes) +
           " bytes, the file holds " + std::to_string(layout.DataBytes);
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
    WaveLayout layout;
    switch (ReadWaveLayout(file, layout)) {
        case WaveLayoutStatus::NoRiff:
            AddLogLine("Error: RIFF constant not found");
            return false;
        case WaveLayoutStatus::NoWave:
            AddLogLine("Error: WAVE constant not found");
            return false;
        case WaveLayoutStatus::NoFormat:
            AddLogLine("Error: wavfmt_ constant not found");
            return false;
        case WaveLayoutStatus::ShortFormat:
            AddLogLine("Error: reading");
            return false;
        case WaveLayoutStatus::Read:
            break;
    }
    const WaveFormat& format = layout.Format;
    record->Channels = format.Channels;
    record->SampleRate = static_cast<std::int32_t>(format.SampleRate);
    // Whole kilobits, as the header's byte rate has always been shown: 176400 -> 1411.
    record->BitRate = static_cast<double>(static_cast<std::int64_t>(format.ByteRate) * 8 / 1000);
    record->Resolution = format.BitsPerSample;
    // A file cut short is still listed, so the user sees it; the run fails it with the reason.
    // Block-coded samples (ADPCM) have no fixed size of a frame: their length is left unknown,
    // and the WAV file their decoder writes tells it.
    if (!layout.IsBlockCoded()) record->SetExactLength(layout.Frames());
    record->NeedsDecoding = layout.NeedsDecoding();
    if (layout.IsTruncated()) record->Truncation = TruncationText(layout);
    AddLogLine("Header (" + std::to_string(36) + " bytes) was red successfully");
    return true;
}
