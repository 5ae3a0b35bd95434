#pragma once

#include <memory>
#include <string>
#include <vector>

class CCueSheet;
class CFileInfo;
class MediaInfoHandle;

// Turns cue sheets into the rows of the file list: one record per track, its path the image,
// its place in the image and its tags from the sheet. A sheet is a ".cue" file, or an image
// (FLAC, WavPack) that carries one inside.
class CSheetTracks {
public:
    // Text ids of the reasons a sheet lists no tracks.
    static constexpr int kTextImageMissing = 371;
    static constexpr int kTextTrackPastEnd = 372;
    static constexpr int kTextNoTracks = 373;

    // Whether path names a cue sheet file (by its extension, in any case).
    static bool IsSheet(const std::string& path);
    // A list entry that stands for one track: its sheet (or image with an embedded sheet) and
    // the track's number, as saved lists name it. Such an entry is no path: it holds a NUL.
    static std::string TrackEntry(const std::string& sheetPath, int number);
    // Splits a TrackEntry; false (and nothing changed) for an ordinary path.
    static bool SplitTrackEntry(const std::string& entry, std::string& sheetPath, int& number);
    // The file an entry of the list reads: the sheet of a TrackEntry, else the entry.
    static std::string FileOfEntry(const std::string& entry);
    // The images the sheet at sheetPath names that exist, as paths; empty when it cannot be read.
    static std::vector<std::string> NamedImages(const std::string& sheetPath);

    // Appends to rows a record for every track of entry (a sheet, or a TrackEntry: that track
    // alone), each image opened with mediaInfo (lent, may be null). False, with nothing
    // appended and failure saying why, when the sheet cannot be read, names a missing image,
    // or holds a track past its image's end; failure is empty for a ".cue" file that holds
    // no sheet at all (no FILE, no TRACK), which is no audio to convert.
    static bool Make(const std::string& entry, MediaInfoHandle* mediaInfo,
                     std::vector<std::unique_ptr<CFileInfo>>& rows, std::string& failure);
    // The tracks of an image already opened, when it carries a sheet inside; an image without
    // one (or whose sheet does not fit it) gives none.
    static std::vector<std::unique_ptr<CFileInfo>> FromEmbedded(const CFileInfo& image);
};
