#pragma once

#include <string>

// The sample rate and channel count a WAV file's "fmt " chunk gives.
struct WavFormat {
    bool valid = false;  // false when the file cannot be read or is no RIFF/RF64 WAVE file
    unsigned sampleRate = 0;
    unsigned channels = 0;

    bool SameAs(const WavFormat& other) const {
        return sampleRate == other.sampleRate && channels == other.channels;
    }
};

// Reads the format of the WAV file at path. The comparison itself never parses headers; this
// is only for telling the user that two files cannot be compared word by word.
WavFormat ReadWavFormat(const std::string& path);
