#pragma once

#include <string>
#include <vector>

#include "session/AddOutcome.h"

class CAudioExtensions;
class CFileList;
class CShard;
class CSettingsGeneral;

// The add and playlist commands shared by the main window and the command-line front end.
// Adding follows the add policy (doubled "/" folded, AddOnlyExists); playlist errors of the
// system come back as false with a text to show, never as an exception.
class CFileListEditor {
public:
    // All are lent: the settings are read on every add, so a change in Options applies at once.
    // With audioOnly, files whose extension is not audio are passed over (counted in the
    // outcome) rather than listed as "Unknown", as the main window lists them.
    CFileListEditor(CFileList& list, const CSettingsGeneral& settings,
                    const CAudioExtensions* audioOnly = nullptr);

    // The add policy for one path; true when an entry was appended. Files that are not audio
    // are listed here whatever audioOnly says: the main window adds one by one.
    bool AddPath(const std::string& path);
    // AddPath for every path, the headers read on all processors; the entries keep the order
    // of paths. Every (folded) path that did not become an entry goes to the outcome when
    // given: kept out by AddOnlyExists (missing, unreadable), refused by its reader, or passed
    // over as not audio. Returns the count appended. The entries remember addedFolder (see
    // CFileInfo::AddedFolder).
    int AddPaths(const std::vector<std::string>& paths, AddOutcome* outcome = nullptr,
                 const std::string& addedFolder = {});
    // Offers every file of folder to AddPath, then (recursive) those of its subfolders,
    // breadth-first in enumeration order, all read as one AddPaths. A folder that cannot be
    // listed, and the files that did not become entries, go to the outcome when given; the
    // entries remember folder, so that the tree below its parent can be kept under the output
    // folder. Always true.
    bool AddFolder(const std::string& folder, bool recursive, AddOutcome* outcome = nullptr);
    // The list operations of the same names; false when the system failed a read or a write.
    bool LoadPlaylist(const std::string& path);
    bool SavePlaylist(const std::string& path);
    // The playlist's files after those already listed, the outcome as for AddPaths (the add
    // policy's AddOnlyExists aside). False, with nothing added, when the playlist itself
    // cannot be read: then it is not taken as an empty one.
    bool AppendPlaylist(const std::string& path, AddOutcome* outcome = nullptr);

    // From now on only the files of shard's share are offered to the list (AddPaths,
    // AddFolder and AppendPlaylist): the others are passed over unread and uncounted. Lent;
    // null offers every file.
    void SetShard(const CShard* shard) { m_shard = shard; }

    // The failed playlist operation's system error code (errno) and a text naming the file.
    int GetLastErrorCode() const { return m_lastErrorCode; }
    const std::string& GetLastError() const { return m_lastError; }

    // Each pair of adjacent "/" becomes one, scanning from the left ("///" keeps two).
    static std::string FoldDoubledSeparators(const std::string& path);

private:
    template <class Operation>
    bool Report(const std::string& path, Operation operation);
    // Hands paths to the list, those that are audio (when only audio is wanted) and, when
    // onlyReadable, can be read; the rest are settled here.
    int Offer(const std::vector<std::string>& paths, bool onlyReadable, AddOutcome* outcome,
              const std::string& addedFolder);
    // paths without those outside the shard's share, each taken relative to base.
    // files without the output records of folders (and of the folders above the first) and
    // without the outputs those records name.
    static void LeaveOutRecorded(std::vector<std::string>& files,
                                 const std::vector<std::string>& folders);
    std::vector<std::string> InShare(std::vector<std::string> paths, const std::string& base) const;

    CFileList& m_list;
    const CSettingsGeneral& m_settings;
    const CAudioExtensions* m_audioOnly;
    const CShard* m_shard = nullptr;
    int m_lastErrorCode = 0;
    std::string m_lastError;
};
