#pragma once

#include <optional>
#include <string>
#include <vector>

// What kelto-cli was asked to do, as given on its command line.
struct CliOptions {
    std::vector<std::string> Inputs;    // audio files, folders and .m3u playlists, in order
    std::optional<std::string> Coder;   // a coder's display name or index
    std::optional<std::string> Preset;  // a preset's name or index
    bool DecodeOnly = false;
    std::optional<int> Threads;
    std::optional<int> PriorityIndex;  // 0 idle, 1 normal, 2 high, 3 real-time
    std::optional<std::string> Output;
    std::optional<std::string> WorkDir;
    std::optional<bool> CopyTags;      // --copy-tags / --no-copy-tags; the setting otherwise
    std::optional<int> FullCheck;      // --verify (2) / --no-verify (0); the setting otherwise
    std::optional<bool> LoudnessTags;  // --loudness / --no-loudness; the setting otherwise
    bool KeepTree = false;             // --keep-tree
    std::optional<int> ExistingOutput;       // 0 overwrite, 1 skip, 2 keep both, 3 update
    std::optional<int> MaxSampleRate;   // --max-rate HZ, 0 for none; the setting otherwise
    std::optional<int> MaxBitDepth;     // --max-bits N (0, 16 or 24); the setting otherwise
    std::optional<std::string> NamePattern;  // --name: names outputs after their tags
    std::string Shard;                       // --shard K/N as given; empty: every file
    bool ListCoders = false;
    bool Info = false;
    bool DryRun = false;
    bool Help = false;
    bool Version = false;

    // Reads the arguments (without the program name). "--name value" and "--name=value" are
    // both taken; "--" ends the options. False with a message naming the bad argument.
    static bool Parse(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error);

    // The --help text.
    static const char* Usage();
};
