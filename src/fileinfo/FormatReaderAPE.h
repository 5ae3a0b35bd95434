#pragma once

#include "fileinfo/FormatReader.h"

// Monkey's Audio: properties from MediaInfo.
class CFormatReaderAPE : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
