#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderTTA.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderTTA reader;
    CFileInfo record;
    fuzzing::ReadAsFile(reader, ".tta", data, size, 22, record);
    return 0;
}
