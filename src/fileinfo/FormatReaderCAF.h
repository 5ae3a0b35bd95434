#pragma once

#include "fileinfo/FormatReader.h"

// Apple's Core Audio Format (.caf): rate, channels and the exact length from its own "desc",
// "data" and "pakt" chunks (MediaInfo misjudges the length of PCM in CAF, and so its bit
// rate), the codec and a compressed stream's resolution from MediaInfo.
class CFormatReaderCAF : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
