#pragma once

#include <string>
#include <vector>

class CFileList;
class CSettingsGeneral;

// The add and playlist commands shared by the main window and the command-line front end.
// Adding follows the add policy (doubled "/" folded, AddOnlyExists); playlist errors of the
// system come back as false with a text to show, never as an exception.
class CFileListEditor {
public:
    // Both are lent: the settings are read on every add, so a change in Options applies at once.
    CFileListEditor(CFileList& list, const CSettingsGeneral& settings);

    // The add policy; true when an entry was appended.
    bool AddPath(const std::string& path);
    // AddPath for every path, the headers read on all processors; the entries keep the order
    // of paths. Every (folded) path that did not become an entry goes to refused when given:
    // kept out by AddOnlyExists (missing, unreadable) or refused by its reader. Returns the
    // count appended. The entries remember addedFolder (see CFileInfo::AddedFolder).
    int AddPaths(const std::vector<std::string>& paths,
                 std::vector<std::string>* refused = nullptr, const std::string& addedFolder = {});
    // Offers every file of folder to AddPath, then (recursive) those of its subfolders,
    // breadth-first in enumeration order, all read as one AddPaths. The files that did not
    // become entries go to refused when given; those that did remember folder, so that the
    // tree below its parent can be kept under the output folder. Always true.
    bool AddFolder(const std::string& folder, bool recursive,
                   std::vector<std::string>* refused = nullptr);
    // The list operations of the same names; false when the system failed a read or a write.
    bool LoadPlaylist(const std::string& path);
    bool SavePlaylist(const std::string& path);
    // The playlist's files after those already listed; refused as for AddPaths.
    bool AppendPlaylist(const std::string& path, std::vector<std::string>* refused = nullptr);

    // The failed playlist operation's system error code (errno) and a text naming the file.
    int GetLastErrorCode() const { return m_lastErrorCode; }
    const std::string& GetLastError() const { return m_lastError; }

    // Each pair of adjacent "/" becomes one, scanning from the left ("///" keeps two).
    static std::string FoldDoubledSeparators(const std::string& path);

private:
    template <class Operation>
    bool Report(const std::string& path, Operation operation);

    CFileList& m_list;
    const CSettingsGeneral& m_settings;
    int m_lastErrorCode = 0;
    std::string m_lastError;
};
