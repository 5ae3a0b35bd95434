#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderFLAC.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderFLAC reader;
    bool read = false;
    const CFileInfo record = fuzzing::ReadAsFile(reader, ".flac", data, size, 42, read);
    if (read) {
        fuzzing::Require(record.SampleRate >= 0 && record.SampleRate < (1 << 20));
        fuzzing::Require(record.Channels >= 1 && record.Channels <= 8);
        fuzzing::Require(record.Resolution >= 1 && record.Resolution <= 32);
    } else {
        fuzzing::Require(record.Resolution == 0);
    }
    return 0;
}
