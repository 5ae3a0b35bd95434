#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Real files and codec packages for the conversion tests: sources written here or by the real
// encoders, outputs decoded back by the real decoders, and package folders whose programs are
// the real codecs behind a small recording wrapper.

// Runs a shell command with its output discarded; true when it exits with 0.
bool RunShell(const std::string& command);
std::string ShellQuoted(const std::string& text);

// What a WAV file holds.
struct WavPcm {
    bool Valid = false;
    int Channels = 0;
    int SampleRate = 0;
    int Bits = 0;
    std::string Data;
    std::int64_t Frames() const {
        const int frame = Channels * Bits / 8;
        return frame > 0 ? static_cast<std::int64_t>(Data.size()) / frame : 0;
    }
};
WavPcm ReadWavPcm(const std::string& path);

// A 16-bit PCM WAV of a few tones with some noise, different for every seed.
void WriteTestWav(const std::string& path, int sampleRate, int channels, double seconds, int seed);
// Encodes wav to path with the real encoder chosen by path's extension (.flac, .mp3, .ogg, .wv).
bool EncodeWith(const std::string& wav, const std::string& path);
// Decodes path (by its extension) back to a WAV file with the real decoder.
WavPcm DecodeBack(const std::string& path, const std::string& scratchFolder);

// One preset of a package: its name (coders only), output or source extension without the dot,
// and command-line template.
struct PackagePreset {
    std::string Name;
    std::string Extension;
    std::string Template;
};

// How the wrapper of a package behaves around the real program.
struct WrapperBehaviour {
    std::string LogFile;              // "start LABEL PID" and "end LABEL PID STATUS" lines
    double SleepBefore = 0;           // seconds, before the real program runs
    bool WritePartialOutput = false;  // writes the -o file before sleeping
};

// Writes a package folder at folder/<name> whose executable "run" logs and then runs
// realProgram with its arguments. Coders label their lines "coder OUTPUT-NAME", decoders
// "decoder INPUT-NAME" (the argument after -o, and the last argument).
void WriteRecordingPackage(const std::string& folder, const std::string& name, bool coder,
                           const std::string& realProgram,
                           const std::vector<PackagePreset>& presets,
                           const WrapperBehaviour& behaviour);

// One line of a wrapper log.
struct LogEvent {
    bool Start = false;
    std::string Label;
    int Pid = 0;
    int Status = 0;
};
std::vector<LogEvent> ReadLog(const std::string& path);
// Position of the start (or end) of label in the log; -1 when absent.
int EventIndex(const std::vector<LogEvent>& events, const std::string& label, bool start);
// The most programs that ran at the same time according to the log.
int MaxConcurrency(const std::vector<LogEvent>& events);
