#pragma once

#include <string>

// One way of running a codec: a command-line template and the extension it goes with.
// For a coder the extension is that of the output file; for a decoder it is a source-file
// extension the decoder accepts. Both begin with the dot (".flac").
class CPreset {
public:
    // Template with "%in%", "%out%", "%orig_sr_hz%", "%orig_sr_khz%" and "%wav_bits%".
    std::string CommandLine;
    std::string Extension;
    std::string Name;  // shown in the preset box; empty for decoders from package folders
};
