#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/AddOutcome.h"

class CFileInfo;
class CFileInfoCache;
class CFileInfoOpener;
class MediaInfoHandle;

// The ordered files the user wants to convert. The list owns its records and one MediaInfo
// handle lent to every record's Open. The same path may be listed several times.
class CFileList {
public:
    // The remembered list in the working folder.
    static constexpr const char* kRememberedFileName = "FileList.m3u";

    CFileList();
    ~CFileList();
    CFileList(const CFileList&) = delete;
    CFileList& operator=(const CFileList&) = delete;

    // Opens a record for path and appends it; false (nothing appended) when the open fails.
    // A cue sheet, and an image that carries one inside, appends a record per track (see
    // CSheetTracks); an image that a sheet among the paths of one AddAll names is left to it,
    // and a row that listed such an image whole before goes.
    bool Add(const std::string& path);
    // Add for every path, the headers read on all processors: the records that open are
    // appended in the order of paths, and the readers' log lines come in that order too. The
    // paths whose open failed go to the outcome's Unreadable (when given), in order, each with
    // why (a cue sheet that lists nothing, with the reason); a ".cue" file that holds no
    // sheet is counted as not audio. Returns the count appended. Every record appended
    // remembers addedFolder (the folder the user added, or empty). An entry may also be a
    // track of a saved list (CSheetTracks::TrackEntry).
    int AddAll(const std::vector<std::string>& paths, AddOutcome* outcome = nullptr,
               const std::string& addedFolder = {});
    // AddAll takes what cache (lent; null: none) still holds for a file instead of reading it
    // again, and stores what it reads there.
    void SetInfoCache(CFileInfoCache* cache);
    // Deletes the entry and closes the gap; an index outside the list is ignored.
    void Remove(int index);
    void Clear();
    // The entry, or null for an index outside the list.
    CFileInfo* Get(int index) const;
    int Count() const;

    // Clears the list and adds every path of the playlist in its order; a playlist that cannot
    // be opened leaves the list empty. Lines starting with "#" (extended playlists) are
    // skipped and relative paths are taken from the playlist's folder, except kelto's own
    // "#KELTO-TRACK:N:sheet" line: the path after it stands for track N of that sheet. Returns
    // true; a read error raises CTextFileException.
    bool LoadPlaylist(const std::string& path);
    // LoadPlaylist without the clearing: the playlist's files come after those listed. Paths
    // that fail to open go to the outcome (when given).
    bool AppendPlaylist(const std::string& path, AddOutcome* outcome = nullptr);
    // The paths of the playlist as LoadPlaylist takes them, without adding them. A playlist
    // that cannot be opened reads as empty; a read error raises CTextFileException.
    static std::vector<std::string> ReadPlaylist(const std::string& path);
    // Writes every entry's path, one per line (CR LF), a track's after its "#KELTO-TRACK" line, as
    // UTF-8 without byte-order mark, into a temporary file beside path that then replaces it.
    // Returns true; any failure raises CTextFileException, and the old file is left as it was.
    bool SavePlaylist(const std::string& path) const;

    MediaInfoHandle* GetMediaInfoHandle() const { return m_mediaInfo.get(); }

private:
    // Declared first so that it outlives the entries.
    std::unique_ptr<MediaInfoHandle> m_mediaInfo;
    std::unique_ptr<CFileInfoOpener> m_opener;
    std::vector<std::unique_ptr<CFileInfo>> m_entries;
};
