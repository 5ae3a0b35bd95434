#pragma once

#include "fileinfo/FormatReader.h"

// FLAC: bit rate from MediaInfo, the rest from STREAMINFO.
class CFormatReaderFLAC : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
