#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Cue sheets that images carry inside: in a FLAC file a CUESHEET field of its Vorbis comment
// (the sheet's text, with titles) or, failing that, its CUESHEET metadata block (positions
// only); in a WavPack file the "Cuesheet" item of its APEv2 tag. Only the metadata is read,
// never the audio.
namespace embedded_cue {

// The sheet's text of the image at path (by its extension: .flac, .wv); empty when it holds
// none or cannot be read.
std::string Read(const std::string& path);

// The parts, on bytes already read (the fuzzer feeds them directly).
// flacBlocks: a FLAC file's start ("fLaC" and its metadata blocks).
std::string FromFlacMetadata(std::string_view flacBlocks);
// items: the items of an APEv2 tag (between its header and its footer), count of them.
std::string FromApeItems(std::string_view items, std::uint32_t count);

}  // namespace embedded_cue
