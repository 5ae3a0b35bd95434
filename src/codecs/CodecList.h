#pragma once

#include <memory>
#include <string>
#include <vector>

class CDatabase;

// An ordered list of owned codec records of one kind (CCoder or CDecoder), filled from package
// folders and from the Codecs folder. Nothing is sorted and duplicates are kept.
template <class TRecord>
class CCodecList {
public:
    CCodecList() = default;
    CCodecList(const CCodecList&) = delete;
    CCodecList& operator=(const CCodecList&) = delete;

    // Releases the records; copies made of them for jobs keep working.
    void RemoveAll() { m_records.clear(); }
    void AddTail(std::unique_ptr<TRecord> record) { m_records.push_back(std::move(record)); }
    int GetCount() const { return static_cast<int>(m_records.size()); }
    // Null when index is below 0 or at or past the count.
    TRecord* GetAt(int index) const;

    // Appends a record for every executable of every package folder below folder (the Coders or
    // Decoders folder). A package without an executable is passed over. True when the whole
    // scan ran.
    bool LoadFromFolder(const std::string& folder);

    // Appends a record for every executable of folder (the Codecs folder) that the database
    // knows by hash, or, with byFileName, by file name, and that has presets of this kind.
    bool LoadFromDatabase(const std::string& folder, const CDatabase& database, bool byFileName);

private:
    std::vector<std::unique_ptr<TRecord>> m_records;
};
