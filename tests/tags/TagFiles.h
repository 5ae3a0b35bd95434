#pragma once

#include <map>
#include <string>

// Tagged audio files for the tag tests: sources tagged by the encoders themselves or with
// TagLib, cover pictures made by ImageMagick, and outputs read back with TagLib (text) and
// ffmpeg (the picture), independently of the code under test.

// The text fields every tagged source carries, by TagLib's common names.
const std::map<std::string, std::string>& SampleFields();
// A small real picture made by ImageMagick (PNG or JPEG by the extension); its bytes.
std::string MakeCover(const std::string& path);
// Writes SampleFields and the picture (as front cover) into an MP3 file's ID3v2 tag with
// TagLib, as version 3 or 4.
bool TagMp3(const std::string& path, const std::string& coverPath, int id3Version);
// Writes SampleFields into a WAV file's RIFF INFO chunk only (what INFO holds of them), and,
// when coverPath is given, SampleFields and the picture into its id3 chunk too.
bool TagWav(const std::string& path, const std::string& coverPath);
// The file's text fields as TagLib reads them (first value of each).
std::map<std::string, std::string> ReadFields(const std::string& path);
// The bytes of the file's attached picture as ffmpeg extracts it; empty when none.
std::string ExtractCover(const std::string& path, const std::string& scratch);
