#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderSPX.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderSPX reader;
    CFileInfo record;
    // The 27-byte page header and the 80-byte Speex header (after a segment table).
    const bool read = fuzzing::ReadAsFile(reader, ".spx", data, size, 27 + 80, record);
    if (read) fuzzing::Require(record.Codec.size() <= 20);
    return 0;
}
