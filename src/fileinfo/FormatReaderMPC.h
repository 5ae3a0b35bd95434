#pragma once

#include "fileinfo/FormatReader.h"

// Musepack (.mpc): the properties from MediaInfo, which leaves out the channels of SV8 files;
// those, and the exact length, come from the SV8 stream header. SV7 files are stereo.
class CFormatReaderMPC : public CFormatReader {
public:
    bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) override;
};
