#pragma once

#include "fileinfo/FormatReader.h"

// OptimFROG: rate and channels from the header, bit rate from the size and the length.
class CFormatReaderOFR : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
