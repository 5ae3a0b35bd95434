#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One output kelto wrote: its path relative to the folder the record lies in, its source as it
// was when it was converted, and what it was converted with.
struct RecordEntry {
    std::string Output;  // relative to the record's folder
    std::string Source;  // absolute
    std::int64_t SourceSize = -1;
    std::int64_t SourceModifiedNs = 0;
    std::string Settings;  // a hash of the coder's and decoder's command lines
    std::string Coder;
    std::string Preset;
    // The source's track (of an image cut by its cue sheet) the output holds; 0: all of it.
    int Track = 0;

    bool operator==(const RecordEntry&) const = default;
};

// The record of what kelto wrote in one output folder, kept there as a hidden text file
// (kFileName) with one line per output, so a later run can tell which outputs are its own and
// whether they are still up to date. The text is outside input: a line that does not read as
// an entry is passed over, whatever its bytes.
class COutputRecord {
public:
    static constexpr const char* kFileName = ".kelto-record";

    // Reads text; entries are keyed by output, a later line winning.
    void Parse(std::string_view text);
    // The text Parse reads back to the same entries.
    std::string Format() const;

    // Adds entry, taking the place of one of the same output, and of any other of the same
    // source whose output has the same extension (the source now has its output there).
    void Put(RecordEntry entry);
    const RecordEntry* FindOutput(const std::string& output) const;
    // The entry of source (its track, 0: the whole source) whose output has extension
    // (".flac"); null when none.
    const RecordEntry* FindSource(const std::string& source, const std::string& extension,
                                  int track = 0) const;
    const std::unordered_map<std::string, RecordEntry>& Entries() const { return m_entries; }
    bool Empty() const { return m_entries.empty(); }

    // The record in folder (empty when it has none or it cannot be read).
    static COutputRecord Load(const std::string& folder);
    // Puts entries into folder's record under its lock, merged with what other processes
    // wrote meanwhile, and replaces the file atomically. False with a reason when it cannot.
    static bool Merge(const std::string& folder, const std::vector<RecordEntry>& entries,
                      std::string* reason);

private:
    void Index(const RecordEntry& entry);
    void Unindex(const RecordEntry& entry);

    std::unordered_map<std::string, RecordEntry> m_entries;  // by output
    // source + '\n' + lower-cased extension (+ '\n' + track) -> output
    std::unordered_map<std::string, std::string> m_bySource;
};
