#pragma once

#include <cstdint>
#include <string>

// What makes a listed file one track of an image that a cue sheet splits: the sheet, the
// track's place in the image (samples First up to End, at the image's rate) and the tags the
// sheet gives it (UTF-8).
struct SheetTrack {
    std::string SheetPath;  // the .cue file, or the image itself for an embedded sheet
    int Number = 0;         // as the sheet numbers it
    int Count = 0;          // tracks in the sheet
    std::int64_t First = 0;
    std::int64_t End = 0;
    std::string Title;
    std::string Performer;
    std::string Album;
    std::string AlbumPerformer;
    std::string Date;
    std::string Genre;
    std::string Comment;
    std::string Songwriter;

    // "NN - Title" (just "NN" without a title): the output's name without a name pattern.
    std::string OutputName() const;
};
