#pragma once

#include "fileinfo/FormatReader.h"

// MPEG-4 audio (.m4a): properties from MediaInfo.
class CFormatReaderM4A : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
