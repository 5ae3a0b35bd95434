#pragma once

#include <string>

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
    // Offers every file of folder to AddPath, then (recursive) those of its subfolders,
    // breadth-first in enumeration order. Always true.
    bool AddFolder(const std::string& folder, bool recursive);
    // The list operations of the same names; false when the system failed a read or a write.
    bool LoadPlaylist(const std::string& path);
    bool SavePlaylist(const std::string& path);

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
