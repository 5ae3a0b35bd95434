#pragma once

#include <optional>
#include <string>

#include <taglib/tbytevector.h>

namespace TagLib {
class File;
}

// One picture of a file's tags, as the tag formats share it.
struct CoverPicture {
    std::string MimeType;  // "image/jpeg", "image/png"; guessed from the data when unknown
    std::string Description;
    TagLib::ByteVector Data;
};

// The front cover of the file's tags, else its first picture; none without pictures. Knows
// ID3v2 APIC (MP3, WAV, AIFF, TTA), FLAC PICTURE, Ogg METADATA_BLOCK_PICTURE, MP4 covr, APE
// "Cover Art (Front)" (WavPack, Monkey's Audio, Musepack) and ASF WM/Picture.
std::optional<CoverPicture> ReadFrontCover(TagLib::File& file);
// Replaces the file's pictures by picture as its front cover. False when the format holds no
// picture kelto knows how to write.
bool WriteFrontCover(TagLib::File& file, const CoverPicture& picture);
// The MIME type of image data by its first bytes; empty when it is neither JPEG, PNG nor GIF.
std::string GuessImageType(const TagLib::ByteVector& data);
