#include "session/OutputRecord.h"

#include <algorithm>
#include <charconv>

#include "base/AsciiText.h"
#include "base/Folders.h"
#include "base/Paths.h"
#include "base/TabFields.h"
#include "platform/File.h"
#include "platform/LockFile.h"
#include "platform/SiblingTempFile.h"
#include "platform/SmallFile.h"

namespace {

constexpr std::string_view kHeader = "kelto-record 1";
constexpr std::size_t kFields = 7;
// An output that holds one track of its source has the track's number as an eighth field.
constexpr std::size_t kTrackFields = 8;

bool ParseLine(std::string_view line, RecordEntry* entry) {
    std::vector<std::string_view> parts;
    if (!SplitFields(line, kFields, &parts)) {
        if (!SplitFields(line, kTrackFields, &parts) ||
            !ReadFieldNumber(parts[7], &entry->Track) || entry->Track <= 0) {
            return false;
        }
    }
    std::string source;
    if (!UnescapeField(parts[0], &entry->Output) || !UnescapeField(parts[1], &source) ||
        !ReadFieldNumber(parts[2], &entry->SourceSize) ||
        !ReadFieldNumber(parts[3], &entry->SourceModifiedNs) ||
        !UnescapeField(parts[4], &entry->Settings) || !UnescapeField(parts[5], &entry->Coder) ||
        !UnescapeField(parts[6], &entry->Preset)) {
        return false;
    }
    entry->Source = std::move(source);
    // An output outside the folder, or a source that is no absolute path, is nothing kelto wrote.
    const std::string_view output = entry->Output;
    return !output.empty() && output.front() != '/' && output != ".." &&
           output.substr(0, 3) != "../" && output.find("/../") == std::string_view::npos &&
           !entry->Source.empty() && entry->Source.front() == '/';
}

std::string SourceKey(const std::string& source, const std::string& extension, int track) {
    std::string key = source + '\n' + LowerAscii(extension);
    if (track > 0) key += '\n' + std::to_string(track);
    return key;
}

std::string SourceKey(const RecordEntry& entry) {
    return SourceKey(entry.Source, PathExtension(entry.Output), entry.Track);
}

std::string RecordPath(const std::string& folder) {
    return TrailingSeparator(folder, true) + COutputRecord::kFileName;
}

}  // namespace

void COutputRecord::Parse(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        RecordEntry entry;
        if (line != kHeader && ParseLine(line, &entry)) Put(std::move(entry));
    }
}

std::string COutputRecord::Format() const {
    // In the order of the outputs, so that the same entries always give the same text.
    std::vector<const RecordEntry*> sorted;
    sorted.reserve(m_entries.size());
    for (const auto& [output, entry] : m_entries) sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(),
              [](const RecordEntry* a, const RecordEntry* b) { return a->Output < b->Output; });
    std::string text(kHeader);
    text += '\n';
    for (const RecordEntry* sortedEntry : sorted) {
        const RecordEntry& entry = *sortedEntry;
        text += EscapeField(entry.Output) + '\t' + EscapeField(entry.Source) + '\t' +
                std::to_string(entry.SourceSize) + '\t' + std::to_string(entry.SourceModifiedNs) +
                '\t' + EscapeField(entry.Settings) + '\t' + EscapeField(entry.Coder) + '\t' +
                EscapeField(entry.Preset);
        if (entry.Track > 0) text += '\t' + std::to_string(entry.Track);
        text += '\n';
    }
    return text;
}

void COutputRecord::Index(const RecordEntry& entry) {
    m_bySource[SourceKey(entry)] = entry.Output;
}

void COutputRecord::Unindex(const RecordEntry& entry) {
    const auto found = m_bySource.find(SourceKey(entry));
    if (found != m_bySource.end() && found->second == entry.Output) m_bySource.erase(found);
}

void COutputRecord::Put(RecordEntry entry) {
    if (const auto old = m_entries.find(entry.Output); old != m_entries.end()) {
        Unindex(old->second);
        m_entries.erase(old);
    }
    const auto same = m_bySource.find(SourceKey(entry));
    if (same != m_bySource.end()) {
        m_entries.erase(same->second);
        m_bySource.erase(same);
    }
    Index(entry);
    std::string key = entry.Output;
    m_entries.emplace(std::move(key), std::move(entry));
}

const RecordEntry* COutputRecord::FindOutput(const std::string& output) const {
    const auto found = m_entries.find(output);
    return found == m_entries.end() ? nullptr : &found->second;
}

const RecordEntry* COutputRecord::FindSource(const std::string& source,
                                             const std::string& extension, int track) const {
    const auto found = m_bySource.find(SourceKey(source, extension, track));
    return found == m_bySource.end() ? nullptr : FindOutput(found->second);
}

COutputRecord COutputRecord::Load(const std::string& folder) {
    COutputRecord record;
    std::string text;
    if (platform::ReadSmallFile(RecordPath(folder), &text)) record.Parse(text);
    return record;
}

bool COutputRecord::Merge(const std::string& folder, const std::vector<RecordEntry>& entries,
                          std::string* reason) {
    if (entries.empty()) return true;
    const std::string path = RecordPath(folder);
    platform::Error error;
    // Other kelto processes writing into the same folder take turns. The folder carries the
    // lock: the record itself is replaced by each writer, so another could lock an old one.
    platform::LockFile lock =
        platform::LockFile::WaitForFolder(folder.empty() ? "." : folder, &error);
    if (!lock.IsHeld()) {
        *reason = "cannot lock " + path + ": " + error.text;
        return false;
    }
    COutputRecord record = Load(folder);
    for (const RecordEntry& entry : entries) record.Put(entry);
    const std::string text = record.Format();
    std::string temporary;
    platform::File file = platform::CreateSiblingTempFile(path, temporary);
    if (file.IsOpen() && file.WriteAll(text.data(), text.size()) && file.Close() &&
        platform::RenameFile(temporary, path, &error)) {
        return true;
    }
    if (!error) error = file.LastError();
    if (!temporary.empty()) platform::RemoveFile(temporary);
    *reason = "cannot write " + path + (error ? ": " + error.text : std::string());
    return false;
}
