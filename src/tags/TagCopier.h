#pragma once

#include <string>
#include <utility>
#include <vector>

// Carries what describes a recording from one audio file to another, in any pair of formats
// TagLib reads and writes: every text field both formats hold (title, artist, album, album
// artist, track and disc numbers, date, genre, comment, composer and the rest, by TagLib's
// common property names) and the front cover picture. Safe to use from several threads at
// once on different files.
class CTagCopier {
public:
    enum class Result {
        Copied,
        NothingToCopy,  // the source holds no text field and no picture; output untouched
        Failed,         // error says why; the output's audio is left as it was
    };

    // Reads the source's fields and front cover and writes them into output, replacing the
    // fields and pictures it held.
    static Result Copy(const std::string& source, const std::string& output, std::string* error);
    // Writes fields (TagLib's property names, "TITLE", "ARTIST", ..., with UTF-8 values; empty
    // values are left out) and the front cover of coverSource, when it holds one, into output,
    // replacing the fields and pictures it held. For the tracks of an image, whose tags come
    // from their cue sheet.
    using Fields = std::vector<std::pair<std::string, std::string>>;
    static Result Write(const Fields& fields, const std::string& coverSource,
                        const std::string& output, std::string* error);
};
