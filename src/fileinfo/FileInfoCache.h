#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/FileStamp.h"

class CFileInfo;

// What the readers found in files, kept in the working folder between runs, so that listing
// files again asks neither the readers nor MediaInfo. An entry counts only while the file's
// size and modification time are as they were. Safe to use from several threads at once.
class CFileInfoCache {
public:
    static constexpr const char* kFileName = "FileInfoCache";

    // Fills record from the entry of path when stamp matches it: the description fields, the
    // path parts and the size. False (record untouched) otherwise.
    bool Fill(const std::string& path, const platform::FileStamp& stamp, CFileInfo* record) const;
    // Keeps what record holds, for a file with stamp.
    void Store(const CFileInfo& record, const platform::FileStamp& stamp);
    std::size_t Count() const;

    // Reads text; lines that do not read as an entry are passed over, whatever their bytes.
    void Parse(std::string_view text);
    std::string Format() const;
    // The cache file at path (an empty cache when missing or unreadable).
    void Load(const std::string& path);
    // Replaces the file at path atomically; nothing is written when nothing changed since Load.
    // Entries of files that were not asked for since Load and are gone are left out.
    bool Save(const std::string& path);

private:
    struct Entry {
        platform::FileStamp Stamp;
        std::int32_t SampleRate = 0;
        double BitRate = 0.0;
        std::int32_t Channels = 0;
        std::int32_t FormatId = 0;
        std::string FormatName;
        std::int32_t Resolution = 0;
        std::string Codec;
        std::int64_t Samples = -1;
        double Duration = -1;
        bool LengthExact = false;
        bool NeedsDecoding = false;
        std::string Truncation;
        mutable bool Used = false;  // asked for or stored since Load
    };

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
    bool m_changed = false;
};
