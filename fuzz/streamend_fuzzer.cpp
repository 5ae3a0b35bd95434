#include <array>

#include "ReaderFuzzing.h"
#include "fileinfo/FormatSignature.h"
#include "fileinfo/FormatTable.h"
#include "fileinfo/StreamEnd.h"

// The look at a file's end that tells a FLAC, WavPack or TTA file cut short, and the signature
// match of every format. The first byte chooses the format; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr std::array<std::int32_t, 3> kFormats = {kFormatFLAC, kFormatWavPack, kFormatTTA};
    if (size == 0) return 0;
    const std::string& path = fuzzing::ScratchPath(".bin");
    fuzzing::WriteFile(path, data + 1, size - 1);
    CFileInfo record;
    record.FormatId = kFormats[data[0] % kFormats.size()];
    const std::string cut = FindStreamCut(path, record);
    fuzzing::Require(cut.empty() || cut.rfind("cut short: ", 0) == 0);
    for (const FormatTableRow& row : FormatTable()) MatchFormatSignature(path, row.FormatId);
    return 0;
}
