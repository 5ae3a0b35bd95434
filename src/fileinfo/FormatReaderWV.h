#pragma once

#include "fileinfo/FormatReader.h"

// WavPack: bit rate and resolution from MediaInfo, rate and channels from the first block.
class CFormatReaderWV : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
