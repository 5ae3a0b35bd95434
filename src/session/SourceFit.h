#pragma once

#include <string>
#include <vector>

#include "fileinfo/FileInfo.h"

struct CoderProperties;

// The most a decoded source may hold: the user's highest sample rate and bit depth together
// with what the coder's program takes (CoderProperties). 0 or empty: no limit.
struct FitLimits {
    int MaxSampleRate = 0;
    std::vector<int> SampleRates;  // the only rates taken, when not empty
    int MaxBits = 0;
    int MaxChannels = 0;

    // The user's limits and, when coder is given, its program's: the lower of each.
    static FitLimits Of(int maxSampleRate, int maxBits, const CoderProperties* coder);
};

// What the decoding step must make of a source so that it keeps within the limits: FFmpeg's
// sox resampler to another rate, fewer bits with triangular dither, fewer channels mixed down.
// A source within the limits needs nothing and is decoded (or read) as it is.
struct SourceFit {
    int SampleRate = 0;  // the rate the decoded file gets
    int Bits = 0;        // its bits per sample: 16 or 24
    int Channels = 0;    // its channels; 0: the source's
    bool Needed = false;
    // No sample rate keeps within the limits: the source cannot be fitted.
    bool NoRate = false;

    // The source's rate brought within maxRate (0: any) and, when allowed is not empty, to one
    // of those: the source's own rate when it fits, else a rate of its own family (44100 or
    // 48000 times a power of two), else of the other family, else any (the usual rates from
    // 8000 to 32000 included): of those the lowest not below the source's, else the highest.
    // 0 when no rate fits.
    static int FittedSampleRate(int rate, int maxRate, const std::vector<int>& allowed);

    // What file needs to keep within limits. A source whose rate or bits are unknown is taken
    // as within those limits. DSD counts as the 88.2 kHz 24-bit file its decoder writes.
    static SourceFit Plan(const CFileInfo& file, const FitLimits& limits);

    // The decoding step for file as CFileInfo::PrepareDecoder takes it: FFmpeg's options and
    // the bits of the WAV file. Empty options when nothing is needed.
    CFileInfo::DecodeFit ForDecoder(const CFileInfo& file) const;
};
