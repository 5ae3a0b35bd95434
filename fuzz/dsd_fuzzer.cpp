#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderDSD.h"

// DSF and DSDIFF alike: the reader tells them by their first bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderDSD reader;
    CFileInfo record;
    const bool read = fuzzing::ReadAsFile(reader, ".dsf", data, size, 16, record);
    if (read) fuzzing::Require(record.Resolution == 1 && record.Samples >= -1);
    return 0;
}
