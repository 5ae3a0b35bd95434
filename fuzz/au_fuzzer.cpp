#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderAU.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderAU reader;
    CFileInfo record;
    const bool read = fuzzing::ReadAsFile(reader, ".au", data, size, 24, record);
    if (read) fuzzing::Require(record.Samples >= -1 && record.Duration >= -1);
    return 0;
}
