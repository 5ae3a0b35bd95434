#pragma once

#include "fileinfo/FormatReader.h"

// RIFF/WAVE files: everything from the "fmt " chunk.
class CFormatReaderWAV : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
