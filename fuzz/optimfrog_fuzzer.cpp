#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderOFR.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderOFR reader;
    CFileInfo record;
    const bool read = fuzzing::ReadAsFile(reader, ".ofr", data, size, 23, record);
    if (read) fuzzing::Require(record.SampleRate != 0 || record.BitRate == 0.0);
    return 0;
}
