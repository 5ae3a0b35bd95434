#pragma once

#include "fileinfo/FormatReader.h"

// TTA: bit rate and resolution from MediaInfo, rate and channels from the header.
class CFormatReaderTTA : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
