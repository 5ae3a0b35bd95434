#include "session/LengthTolerance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "fileinfo/FormatTable.h"

namespace {

// MediaInfo gives lengths in whole milliseconds.
constexpr double kMediaInfoRounding = 0.002;

struct FormatTolerance {
    std::int32_t FormatId;
    LengthTolerance Tolerance;
};

// Figures in samples where the cause is counted in samples (codec frames, encoder delay and
// padding), in seconds where it is not. The measured deviations are in packages/README.md.
constexpr std::array<FormatTolerance, 25> kTolerances = {{
    // Exact lengths from the header and exact decoders.
    {kFormatWAV, {0, 0, 0, 0}},
    {kFormatRF64, {0, 0, 0, 0}},
    // PCM in CAF is exact; FFmpeg's writer counts the last packet of a compressed stream whole
    // in the packet table (up to 4095 frames of ALAC too many, measured).
    {kFormatCAF, {0, 0, 4096, 0}},
    {kFormatAU, {0, 0, 0, 0}},
    // MediaInfo's length of uncompressed files, exactly decoded.
    {kFormatAIFF, {0, kMediaInfoRounding, 0, 0}},
    {kFormatAIFC, {0, kMediaInfoRounding, 0, 0}},
    {kFormatWave64, {0, kMediaInfoRounding, 0, 0}},
    // The exact count of the SV8 header (MediaInfo's for SV7); mpcdec drops the padding.
    {kFormatMusepack, {0, kMediaInfoRounding, 1152, 0}},
    // Decoded at 88.2 kHz from 2.8224 MHz and up: the rate conversion may round by a sample.
    {kFormatDSF, {0, 0, 0, 0.0005}},
    {kFormatDSDIFF, {0, 0, 0, 0.0005}},
    // Whole frames of 1536 samples (AC-3, E-AC-3) and 512 samples (DTS): MediaInfo and FFmpeg
    // both count the last frame whole. MediaInfo only estimates an E-AC-3 file's length from
    // its bit rate (0.5 % off measured), so its length is left unknown.
    {kFormatAC3, {1536, kMediaInfoRounding, 1536, 0}},
    {kFormatEAC3, {0, 0, 1536, 0}},
    {kFormatDTS, {512, kMediaInfoRounding, 512, 0}},
    {kFormatFLAC, {0, 0, 0, 0}},
    {kFormatWavPack, {0, 0, 0, 0}},
    {kFormatTTA, {0, 0, 0, 0}},
    {kFormatOFR, {0, 0, 0, 0}},
    // MediaInfo counts lame's delay and padding (up to 2112 samples measured); lame --decode
    // removes them by the LAME tag, other encoders' files keep them.
    {kFormatMPEG, {2400, kMediaInfoRounding, 2400, 0}},
    // The MP4 edit list gives the exact length; FFmpeg decodes up to one 1024-sample frame
    // more (956 measured). Files of other encoders may lack the edit list: their priming
    // (2112 samples) then counts too.
    {kFormatM4A, {3200, kMediaInfoRounding, 2200, 0}},
    {kFormatAAC, {3200, kMediaInfoRounding, 2200, 0}},
    // The granule position of the last page is exact; MediaInfo leaves Opus's pre-skip in
    // (7 ms measured), which may be longer in other encoders' files.
    {kFormatVorbis, {0, 0.01, 0, 0.01}},
    {kFormatOpus, {0, 0.1, 0, 0.02}},
    // speexdec may give up to one frame (20 ms) more.
    {kFormatSpeex, {0, 0.025, 0, 0.025}},
    {kFormatAPE, {0, kMediaInfoRounding, 0, 0}},
}};

// Anything else read through MediaInfo (WMA, MP2, ...).
constexpr LengthTolerance kOtherFormats = {3072, 0.02, 3072, 0.02};

double Allowance(std::int32_t samples, double seconds, std::int32_t sampleRate) {
    const double rate = sampleRate > 0 ? sampleRate : 8000.0;
    return std::max(samples / rate + seconds, 0.5 / rate);
}

}  // namespace

double LengthTolerance::Header(std::int32_t sampleRate) const {
    return Allowance(HeaderSamples, HeaderSeconds, sampleRate);
}

double LengthTolerance::Decoded(std::int32_t sampleRate) const {
    return Allowance(DecodedSamples, DecodedSeconds, sampleRate);
}

const LengthTolerance& LengthTolerance::Of(std::int32_t formatId) {
    for (const FormatTolerance& row : kTolerances)
        if (row.FormatId == formatId) return row.Tolerance;
    return kOtherFormats;
}

bool LengthsAgree(double seconds, double expectedSeconds, double allowance) {
    return std::fabs(seconds - expectedSeconds) <= allowance;
}
