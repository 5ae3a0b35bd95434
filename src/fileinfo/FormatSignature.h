#pragma once

#include <cstdint>
#include <string>

enum class SignatureMatch { Yes, No, Unknown };

// Whether the file begins as files of the format (FormatTable.h) do, an ID3v2 tag aside:
// "fLaC", an MPEG audio frame, an MP4 "ftyp" box, an Ogg page whose first packet is a Vorbis,
// Opus or Speex header, and so on. MediaInfo reads a file by its content, whatever its name,
// so this is what tells that an MP3 file named .ogg is no Ogg Vorbis file. Unknown for a
// format without a signature kelto knows, or when the file cannot be read.
SignatureMatch MatchFormatSignature(const std::string& path, std::int32_t formatId);
