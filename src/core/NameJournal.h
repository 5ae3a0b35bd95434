#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/LockFile.h"

// The files a running kelto made in one folder, listed in a file of that folder that it holds
// locked for as long as it lives (platform::LockFile). When kelto dies without cleaning up,
// the lock goes with it, and the next kelto removes what the journal lists.
//
// The journal is text: a first line "kelto journal 1", then one line per change, "+name" when
// a file became ours and "-name" when it no longer is. Names are plain file names of the
// journal's folder, with "\" and line feeds written "\\" and "\n". A line counts only once it is
// complete with its line feed, so a write cut short by a crash adds nothing; and a journal
// without its first line is never acted upon: its maker is between creating it and writing
// that line, or died there, or it was made by someone else.
class CNameJournal {
public:
    // Creates the journal at path, which must not exist, and holds it.
    bool Create(const std::string& path, platform::Error* error = nullptr);
    bool IsOpen() const { return m_file.IsHeld(); }
    const std::string& Path() const { return m_file.Path(); }

    // Lists name as ours; it is on disk before this returns. False when name is not a plain
    // file name or the journal cannot be written (reason says why); name is not listed then.
    bool Add(const std::string& name, std::string* reason = nullptr);
    // name is ours no longer. Should the journal not be written, the name stays listed on disk,
    // which matters only after a crash, and only when a file of that name is there then.
    void Drop(const std::string& name);
    bool Lists(const std::string& name) const { return m_names.count(name) != 0; }
    const std::unordered_set<std::string>& Names() const { return m_names; }
    // Removes the journal and lets it go.
    void Remove();

    // When the maker of folder/journalName is gone: removes the files it lists that are still
    // there as regular files, then the journal (RemoveStaleFiles). The number of files removed;
    // -1 when the journal's maker still holds it or it is not a journal.
    static int RemoveIfStale(const std::string& folder, const std::string& journalName);

    // The names a journal's text lists at its end; false when the text is not a journal.
    static bool ListedNames(const std::string& text, std::vector<std::string>* names);

    // Not empty, not "." or "..", without "/" or a NUL byte.
    static bool IsPlainName(const std::string& name);

private:
    bool Write(char change, const std::string& name, std::string* reason);
    void Compact();

    platform::LockFile m_file;
    std::unordered_set<std::string> m_names;
    std::size_t m_namesBytes = 0;  // what the lines of m_names alone would take
};
