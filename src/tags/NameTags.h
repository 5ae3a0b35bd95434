#pragma once

#include <string>

// The tags an output may be named after, as UTF-8 text (the first value of each; empty when
// the file does not hold it).
struct NameTags {
    std::string Artist;
    std::string AlbumArtist;
    std::string Album;
    std::string Title;
    std::string Track;  // as written: "3", "03" or "3/12"
    std::string Disc;   // as written: "1" or "1/2"
    std::string Date;   // as written: "1999" or "1999-04-01"
    std::string Genre;
    std::string Composer;
};

// Reads the naming tags of the audio file at path through TagLib (its audio is not read).
// False, with every field empty, when TagLib cannot read the file's tags.
bool ReadNameTags(const std::string& path, NameTags& tags);
