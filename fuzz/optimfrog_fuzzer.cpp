#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderOFR.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderOFR reader;
    bool read = false;
    const CFileInfo record = fuzzing::ReadAsFile(reader, ".ofr", data, size, 23, read);
    if (read) fuzzing::Require(record.SampleRate != 0 || record.BitRate == 0.0);
    return 0;
}
