#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "codecs/DatabaseEntry.h"

namespace pugi {
class xml_document;
}

// The codec database, Base.xml: known codec programs identified by the MD5 of their file or by
// their file name. Loaded once and never written.
class CDatabase {
public:
    CDatabase();
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // path is the working folder + "/Base.xml". False when the file does not exist; true
    // otherwise, also when it could not be parsed (then the database is empty).
    bool Load(const std::string& path);
    // Replaces the content with the entries of an XML text; a malformed text leaves it empty.
    void LoadFromText(const std::string& xml);

    const std::string& GetDate() const { return m_date; }
    std::size_t GetCount() const { return m_entries.size(); }
    const CDatabaseEntry* GetAt(std::size_t index) const;

    // First entry, in document order, whose Hash equals hash exactly (with case).
    const CDatabaseEntry* FindByHash(const std::string& hash) const;
    // First entry whose FileName equals the executable's file name (the last component of
    // path), or whose FileName equals path as a whole.
    const CDatabaseEntry* FindByFileName(const std::string& path) const;

private:
    void Clear();
    void ReadTree();

    std::unique_ptr<pugi::xml_document> m_document;
    std::vector<CDatabaseEntry> m_entries;
    std::string m_date;
};
