#pragma once

#include <string>
#include <vector>

// What a coder package says about what its program keeps of the samples, in the package's
// optional Properties.ini:
//   [Coder]
//   Lossless=1     the output decodes to the very samples it was made from
//   HeldBits=24    ... of which the program keeps the upper 24 bits (32-bit sources)
//   MaxSampleRate=48000   the highest sample rate the program takes (Hz)
//   SampleRates=8000,16000   the only sample rates it takes, when it takes a few alone
//   MaxChannels=2  the most channels it takes
//   MaxBits=16     the most bits per sample it takes
// A package that does not say is lossy, and takes every source. Other keys are passed over.
// What the program does not take kelto fits its source to when decoding it (SourceFit).
struct CoderProperties {
    bool Lossless = false;
    int HeldBits = 0;  // bits per sample the program keeps; 0 for all
    int MaxSampleRate = 0;         // 0: no limit
    std::vector<int> SampleRates;  // empty: every rate up to MaxSampleRate
    int MaxChannels = 0;           // 0: no limit
    int MaxBits = 0;               // 0: no limit

    // Reads the file at path; a missing file gives the defaults.
    static CoderProperties Load(const std::string& path);
};
