#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderFLAC.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderFLAC reader;
    CFileInfo record;
    const bool read = fuzzing::ReadAsFile(reader, ".flac", data, size, 42, record);
    if (read) {
        // The widths of STREAMINFO's fields bound what can come out of them.
        fuzzing::Require(record.SampleRate >= 0 && record.SampleRate < (1 << 20));
        fuzzing::Require(record.Channels >= 1 && record.Channels <= 8);
        fuzzing::Require(record.Resolution >= 1 && record.Resolution <= 32);
        // 36 bits of total samples.
        fuzzing::Require(record.Samples >= -1 && record.Samples < (std::int64_t{1} << 36));
    }
    return 0;
}
