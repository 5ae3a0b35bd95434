#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderWAV.h"
#include "session/SampleComparison.h"
#include "session/WaveSampleReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderWAV reader;
    CFileInfo record;
    // "RIFF", size, "WAVE", a chunk header and 16 bytes of "fmt ".
    const bool read = fuzzing::ReadAsFile(reader, ".wav", data, size, 36, record);
    if (!read) return 0;
    // A file never holds more samples than bytes, and only a file that holds less than its data
    // chunk promises is truncated.
    fuzzing::Require(record.Samples <= static_cast<std::int64_t>(size));
    // The full check's sample reader takes the same bytes: a file equals itself, at every
    // resolution a coder may keep.
    CWaveSampleReader first;
    CWaveSampleReader second;
    const std::string& path = fuzzing::ScratchPath(".wav");
    if (!first.Open(path, nullptr) || !second.Open(path, nullptr)) return 0;
    // (A rate of 0 leaves the file information without a length.)
    fuzzing::Require(record.Samples == -1 || first.Frames() == record.Samples);
    const int heldBits = size > 0 ? data[size - 1] % 33 : 0;
    fuzzing::Require(CompareWaveSamples(first, second, heldBits, nullptr).Equal);
    return 0;
}
