#include "ReaderFuzzing.h"
#include "fileinfo/FormatReaderSPX.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFormatReaderSPX reader;
    bool read = false;
    // The 27-byte page header and the 80-byte Speex header (after a segment table).
    const CFileInfo record = fuzzing::ReadAsFile(reader, ".spx", data, size, 27 + 80, read);
    if (read) fuzzing::Require(record.Codec.size() <= 20);
    if (!read) fuzzing::Require(record.Codec.empty());
    return 0;
}
