#pragma once

#include "fileinfo/FormatReader.h"

// Ogg Vorbis: properties from MediaInfo; resolution fixed at 16 bits.
class CFormatReaderVorbis : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
