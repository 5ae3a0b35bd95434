#pragma once

#include "fileinfo/FormatReader.h"

// Sun/NeXT audio (.au, .snd): everything from its 24-byte big-endian header, the length exact
// from the data size (or, when the size is left open, from the file's end).
class CFormatReaderAU : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
