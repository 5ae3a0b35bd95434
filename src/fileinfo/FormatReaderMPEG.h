#pragma once

#include "fileinfo/FormatReader.h"

// MPEG audio (.mp3): properties from MediaInfo; resolution fixed at 16 bits.
class CFormatReaderMPEG : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
