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
    kFormatAIFF = 17,
    kFormatAIFC = 18,
    kFormatCAF = 19,
    kFormatWave64 = 20,
    kFormatRF64 = 21,
    kFormatMatroska = 22,
    kFormatWebM = 23,
    kFormatAC3 = 24,
    kFormatEAC3 = 25,
    kFormatDTS = 26,
    kFormatMusepack = 27,
    kFormatDSF = 28,
    kFormatDSDIFF = 29,
    kFormatShorten = 30,
    kFormatAU = 31,
    kFormatTAK = 32,
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
