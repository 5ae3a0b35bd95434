#include "fileinfo/FileInfoCache.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Paths.h"
#include "base/TabFields.h"
#include "fileinfo/FileInfo.h"
#include "platform/File.h"
#include "platform/SiblingTempFile.h"
#include "platform/SmallFile.h"

namespace {

constexpr std::string_view kHeader = "kelto-fileinfo 1";
constexpr std::size_t kFields = 15;

// Doubles are written exactly, as the bits of their value.
std::string DoubleText(double value) {
    std::uint64_t bits = 0;
    static_assert(sizeof(bits) == sizeof(value));
    std::memcpy(&bits, &value, sizeof(bits));
    return std::to_string(bits);
}

bool ReadDouble(std::string_view text, double* value) {
    std::uint64_t bits = 0;
    if (!ReadFieldNumber(text, &bits)) return false;
    std::memcpy(value, &bits, sizeof(bits));
    return true;
}

}  // namespace

bool CFileInfoCache::Fill(const std::string& path, const platform::FileStamp& stamp,
                          CFileInfo* record) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(path);
    if (found == m_entries.end() || !(found->second.Stamp == stamp)) return false;
    const Entry& entry = found->second;
    entry.Used = true;
    record->Path = path;
    record->Folder = PathFolder(path);
    record->Name = PathFileName(path);
    record->Size = static_cast<std::uint64_t>(stamp.Size);
    record->SampleRate = entry.SampleRate;
    record->BitRate = entry.BitRate;
    record->Channels = entry.Channels;
    record->FormatId = entry.FormatId;
    record->FormatName = entry.FormatName;
    record->Resolution = entry.Resolution;
    record->Codec = entry.Codec;
    record->Samples = entry.Samples;
    record->Duration = entry.Duration;
    record->LengthExact = entry.LengthExact;
    record->NeedsDecoding = entry.NeedsDecoding;
    record->Truncation = entry.Truncation;
    return true;
}

void CFileInfoCache::Store(const CFileInfo& record, const platform::FileStamp& stamp) {
    Entry entry;
    entry.Stamp = stamp;
    entry.SampleRate = record.SampleRate;
    entry.BitRate = record.BitRate;
    entry.Channels = record.Channels;
    entry.FormatId = record.FormatId;
    entry.FormatName = record.FormatName;
    entry.Resolution = record.Resolution;
    entry.Codec = record.Codec;
    entry.Samples = record.Samples;
    entry.Duration = record.Duration;
    entry.LengthExact = record.LengthExact;
    entry.NeedsDecoding = record.NeedsDecoding;
    entry.Truncation = record.Truncation;
    entry.Used = true;
    std::lock_guard lock(m_mutex);
    m_entries[record.Path] = std::move(entry);
    m_changed = true;
}

std::size_t CFileInfoCache::Count() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

void CFileInfoCache::Parse(std::string_view text) {
    std::lock_guard lock(m_mutex);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        std::vector<std::string_view> parts;
        if (!SplitFields(line, kFields, &parts)) continue;
        std::string path;
        Entry entry;
        int exact = 0;
        int decoding = 0;
        if (!UnescapeField(parts[0], &path) || path.empty() ||
            !ReadFieldNumber(parts[1], &entry.Stamp.Size) || entry.Stamp.Size < 0 ||
            !ReadFieldNumber(parts[2], &entry.Stamp.ModifiedNs) ||
            !ReadFieldNumber(parts[3], &entry.SampleRate) ||
            !ReadDouble(parts[4], &entry.BitRate) || !ReadFieldNumber(parts[5], &entry.Channels) ||
            !ReadFieldNumber(parts[6], &entry.FormatId) ||
            !UnescapeField(parts[7], &entry.FormatName) ||
            !ReadFieldNumber(parts[8], &entry.Resolution) ||
            !UnescapeField(parts[9], &entry.Codec) || !ReadFieldNumber(parts[10], &entry.Samples) ||
            !ReadDouble(parts[11], &entry.Duration) || !ReadFieldNumber(parts[12], &exact) ||
            !ReadFieldNumber(parts[13], &decoding) ||
            !UnescapeField(parts[14], &entry.Truncation) || (exact != 0 && exact != 1) ||
            (decoding != 0 && decoding != 1)) {
            continue;
        }
        entry.LengthExact = exact == 1;
        entry.NeedsDecoding = decoding == 1;
        m_entries[std::move(path)] = std::move(entry);
    }
}

std::string CFileInfoCache::Format() const {
    std::lock_guard lock(m_mutex);
    // In the order of the paths, so that the same entries always give the same text.
    std::vector<const std::pair<const std::string, Entry>*> sorted;
    sorted.reserve(m_entries.size());
    for (const auto& entry : m_entries) sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    std::string text(kHeader);
    text += '\n';
    for (const auto* sortedEntry : sorted) {
        const std::string& path = sortedEntry->first;
        const Entry& e = sortedEntry->second;
        text += EscapeField(path) + '\t' + std::to_string(e.Stamp.Size) + '\t' +
                std::to_string(e.Stamp.ModifiedNs) + '\t' + std::to_string(e.SampleRate) + '\t' +
                DoubleText(e.BitRate) + '\t' + std::to_string(e.Channels) + '\t' +
                std::to_string(e.FormatId) + '\t' + EscapeField(e.FormatName) + '\t' +
                std::to_string(e.Resolution) + '\t' + EscapeField(e.Codec) + '\t' +
                std::to_string(e.Samples) + '\t' + DoubleText(e.Duration) + '\t' +
                (e.LengthExact ? "1" : "0") + '\t' + (e.NeedsDecoding ? "1" : "0") + '\t' +
                EscapeField(e.Truncation) + '\n';
    }
    return text;
}

void CFileInfoCache::Load(const std::string& path) {
    std::string text;
    if (platform::ReadSmallFile(path, &text)) Parse(text);
    std::lock_guard lock(m_mutex);
    m_changed = false;
}

bool CFileInfoCache::Save(const std::string& path) {
    {
        std::lock_guard lock(m_mutex);
        for (auto entry = m_entries.begin(); entry != m_entries.end();) {
            if (!entry->second.Used && !platform::PathExists(entry->first)) {
                entry = m_entries.erase(entry);
                m_changed = true;
            } else {
                ++entry;
            }
        }
        if (!m_changed) return true;
    }
    const std::string text = Format();
    std::string temporary;
    platform::File file = platform::CreateSiblingTempFile(path, temporary);
    if (file.IsOpen() && file.WriteAll(text.data(), text.size()) && file.Close() &&
        platform::RenameFile(temporary, path)) {
        std::lock_guard lock(m_mutex);
        m_changed = false;
        return true;
    }
    if (!temporary.empty()) platform::RemoveFile(temporary);
    return false;
}
