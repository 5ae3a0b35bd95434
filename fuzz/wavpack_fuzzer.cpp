#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderWV.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderWV reader;
    CFileInfo record;
    // The 32-byte block header; the rest of the first block is optional.
    fuzzing::ReadAsFile(reader, ".wv", data, size, 32, record);
    return 0;
}
