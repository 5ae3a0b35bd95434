#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A cue sheet as rippers write it, read leniently: a byte-order mark, any line ending (CR LF,
// LF, CR), quoted or bare values, a missing closing quote, REM comments (GENRE, DATE, COMMENT
// and the rest) and commands it does not know are all taken. Text that is not valid UTF-8 is
// read as Windows-1252, the code page most legacy sheets were written in; UTF-16 with a
// byte-order mark is read too. Every text member holds UTF-8.
class CCueSheet {
public:
    // One INDEX line: its number (0 for the pregap, 1 for the track's start), the FILE it
    // belongs to and its position in that file in CD frames (75 per second).
    struct Index {
        int Number = 0;
        int File = 0;
        std::int64_t Frames = 0;
    };
    struct Track {
        int Number = 0;
        int File = 0;  // the FILE of the TRACK line
        std::string Title;
        std::string Performer;
        std::string Songwriter;
        std::string Isrc;
        std::vector<Index> Indexes;
        // The INDEX 01 line; null when the track has none (it is then left out of Spans).
        const Index* Start() const;
    };
    // Where one track lies: in File from frame First up to frame End (End -1: to the file's
    // end). A pregap (INDEX 00 up to INDEX 01) belongs to the track before it; the first track
    // of each FILE starts at the file's beginning, so the tracks of a file hold all of it.
    struct Span {
        int Track = 0;  // index into Tracks
        int File = 0;
        std::int64_t First = 0;
        std::int64_t End = -1;
        bool operator==(const Span&) const = default;
    };

    std::string Title;
    std::string Performer;
    std::string Songwriter;
    std::string Date;
    std::string Genre;
    std::string Comment;
    std::string Catalog;
    std::vector<std::string> Files;  // the FILE names as written
    std::vector<Track> Tracks;

    // Reads a sheet from its bytes; never fails (what it cannot read it leaves out).
    static CCueSheet Parse(std::string_view bytes);
    // The sheet's text as UTF-8: a byte-order mark dropped, UTF-16 converted, and text that is
    // not valid UTF-8 taken as Windows-1252.
    static std::string DecodeText(std::string_view bytes);
    static bool IsValidUtf8(std::string_view text);

    // The spans of every track that has an INDEX 01, in sheet order.
    std::vector<Span> Spans() const;
    // frames at sampleRate: exact for 44100 and 48000 Hz (588 and 640 samples a frame), and
    // rounded down for other rates; a count past 64 bits is held at the largest one, and
    // no frames or no rate give 0.
    static std::int64_t FramesToSamples(std::int64_t frames, std::int32_t sampleRate);
};
