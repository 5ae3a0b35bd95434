#pragma once

#include <cstdint>

// How far a file's playing length may stray from the length of the samples it was made from,
// per format, as measured with the shipped coders and decoders (packages/README.md has the
// figures): encoder delay and padding, and the estimates MediaInfo makes, move it a little;
// a file cut short moves it a lot. Each allowance is a number of samples at the file's rate
// plus seconds.
struct LengthTolerance {
    // The length kelto's file information reads from the file (CFileInfo::Duration).
    std::int32_t HeaderSamples = 0;
    double HeaderSeconds = 0;
    // The length of the WAV file the format's decoder writes.
    std::int32_t DecodedSamples = 0;
    double DecodedSeconds = 0;

    // The allowance at sampleRate (at least half a sample, for lengths counted in samples).
    double Header(std::int32_t sampleRate) const;
    double Decoded(std::int32_t sampleRate) const;

    // The tolerance of a format (FormatTable.h); unlisted formats get a generous one.
    static const LengthTolerance& Of(std::int32_t formatId);
};

// Whether two lengths in seconds differ by at most allowance.
bool LengthsAgree(double seconds, double expectedSeconds, double allowance);
