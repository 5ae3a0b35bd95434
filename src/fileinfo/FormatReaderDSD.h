#pragma once

#include "fileinfo/FormatReader.h"

// DSD in its two file forms, DSF (.dsf) and DSDIFF (.dff): rate, channels and the exact
// length from the file's own chunks. The resolution is 1 bit, as the stream holds it; the
// decoder turns it into 24-bit PCM whatever this says.
class CFormatReaderDSD : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
