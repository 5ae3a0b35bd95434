#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "fileinfo/FormatReader.h"

// Format identifiers kept by CFileInfo::FormatId. kFormatWAV marks a source that needs no
// decoder.
enum : std::int32_t {
    kFormatUnknown = 0,
    kFormatAPE = 1,
    kFormatAAC = 2,
    kFormatWAV = 3,
    kFormatMPEG = 4,
    kFormatVorbis = 5,
    kFormatFLAC = 6,
    kFormatSpeex = 7,
    kFormatOFR = 8,
    kFormatWavPack = 9,
    kFormatM4A = 10,
    kFormatTTA = 11,
    // Later additions; stored lists and plug-ins keep seeing the values above unchanged.
    kFormatOpus = 12,
    kFormatWMA = 13,
    kFormatMP2 = 14,
    kFormatM4B = 15,
    kFormatOggAudio = 16,
};

inline constexpr const char* kUnknownFormatName = "Unknown";

struct FormatTableRow {
    const char* Extension;  // lower case, dot included
    std::int32_t FormatId;
    const char* FormatName;
    std::unique_ptr<CFormatReader> (*CreateReader)();
};

// The known formats in the order extensions are tested.
std::span<const FormatTableRow> FormatTable();
// The row whose extension equals the (already lower-cased) extension, or null.
const FormatTableRow* FindFormat(const std::string& lowerCaseExtension);
