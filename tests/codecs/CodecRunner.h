#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Test helpers that run the real codec programs with the arguments the process runner would
// give them: the command line split by the Windows rules.

// Runs program with the split command line, its output going to logFile. The exit status
// (0 for success).
int RunProgram(const std::string& program, const std::string& commandLine,
               const std::string& logFile);

// Runs a shell command line for test set-up; true on exit status 0.
bool RunShell(const std::string& command);
// text in single quotes for a shell command line.
std::string ShellQuote(const std::string& text);

// What a WAV file holds, read from its fmt and data chunks.
struct WavContent {
    bool Valid = false;
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    // The sample coding: 1 integer PCM, 3 IEEE float; for WAVE_FORMAT_EXTENSIBLE the tag of its
    // sub-format, with Extensible set and the speaker positions in ChannelMask.
    int FormatTag = 0;
    bool Extensible = false;
    std::uint32_t ChannelMask = 0;
    std::string Data;  // the sample bytes

    std::int64_t Frames() const {
        const int frameSize = Channels * BitsPerSample / 8;
        return frameSize > 0 ? static_cast<std::int64_t>(Data.size()) / frameSize : 0;
    }
};
WavContent ReadWav(const std::string& path);

// The samples as signed 32-bit values, whatever their coding: integers shifted up to fill 32
// bits (8-bit ones made signed), floats scaled the way FFmpeg turns them into 32-bit integers.
// Two files hold the same audio exactly when these are equal.
std::vector<std::int32_t> NormalisedSamples(const WavContent& wav);

// Writes a sine WAV file with sox.
bool MakeSineWav(const std::string& path, int sampleRate, int channels, double seconds);
