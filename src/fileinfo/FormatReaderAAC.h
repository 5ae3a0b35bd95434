#pragma once

#include "fileinfo/FormatReader.h"

// Raw AAC (.aac): properties from MediaInfo's audio stream.
class CFormatReaderAAC : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
