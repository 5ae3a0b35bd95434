#pragma once

#include "fileinfo/FormatReader.h"

// Formats that kelto's decoders take but that have no reader of their own (Opus, Windows Media
// Audio, MPEG Layer 2, audiobooks, Ogg audio): every property from MediaInfo, asked as for M4A.
// The library knows these containers whatever codec they hold.
class CFormatReaderMediaInfo : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};

// Streams whose length MediaInfo only estimates from the bit rate (E-AC-3, off by half a
// percent): the properties as above, the length left unknown.
class CFormatReaderMediaInfoNoLength : public CFormatReaderMediaInfo {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
