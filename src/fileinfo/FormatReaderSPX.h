#pragma once

#include "fileinfo/FormatReader.h"

// Ogg Speex: rate, nominal bit rate and encoder version from the Speex header.
class CFormatReaderSPX : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
