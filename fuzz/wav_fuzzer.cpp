#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderWAV.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderWAV reader;
    CFileInfo record;
    // "RIFF", size, "WAVE", a chunk header and 16 bytes of "fmt ".
    fuzzing::ReadAsFile(reader, ".wav", data, size, 36, record);
    return 0;
}
