#pragma once

#include <string>
#include <vector>

// Short audio files of the kinds other programs write (editors, recorders, rippers, taggers),
// made at test time with the real tools: WAV files with extra chunks and extended headers in
// every sample coding and with legacy 24- and 32-bit headers, MP3 files of the three MPEG
// versions with ID3 tags and pictures, FLAC files with picture, application and padding blocks,
// M4A files with cover art, and tagged Ogg Vorbis, Opus, WavPack and Speex files, with TTA, WMA,
// MP2 and raw AAC.
struct CorpusFile {
    std::string Path;
    // The WAV file it was coded from when its coding is lossless (its decoder must give these
    // samples back exactly); empty otherwise.
    std::string Original;
    // What its decoder writes (the file itself for a WAV file).
    int Channels = 0;
    int SampleRate = 0;
    // One of the few files that also go through every coder's other presets.
    bool Representative = false;
};

constexpr double kCorpusSeconds = 0.3;

// Makes the corpus in folder (which must exist); a file that its tool could not make is
// reported as a test failure and left out.
std::vector<CorpusFile> MakeCorpus(const std::string& folder);
