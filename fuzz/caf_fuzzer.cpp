#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderCAF.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderCAF reader;
    CFileInfo record;
    const bool read = fuzzing::ReadAsFile(reader, ".caf", data, size, 8 + 12 + 32, record);
    if (read) fuzzing::Require(record.SampleRate > 0 && std::isfinite(record.Duration));
    return 0;
}
