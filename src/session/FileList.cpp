#include "session/FileList.h"

#include "base/Folders.h"
#include "base/Paths.h"
#include "base/TextFileException.h"
#include "base/TextFileRead.h"
#include "base/TextFileWrite.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoOpener.h"
#include "fileinfo/MediaInfoHandle.h"
#include "platform/File.h"
#include "platform/SiblingTempFile.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string Strip(const std::string& line) {
    const auto first = line.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return {};
    const auto last = line.find_last_not_of(kWhiteSpace);
    return line.substr(first, last - first + 1);
}

// The playlist's folder with its trailing "/", or empty for a playlist named without one.
std::string PlaylistFolder(const std::string& playlistPath) {
    return TrailingSeparator(PathFolder(playlistPath), true);
}

}  // namespace

CFileList::CFileList()
    : m_mediaInfo(std::make_unique<MediaInfoHandle>()),
      m_opener(std::make_unique<CFileInfoOpener>(m_mediaInfo.get())) {}

CFileList::~CFileList() { m_entries.clear(); }

bool CFileList::Add(const std::string& path) {
    auto info = std::make_unique<CFileInfo>();
    if (!info->Open(path, m_mediaInfo.get())) return false;
    m_entries.push_back(std::move(info));
    return true;
}

int CFileList::AddAll(const std::vector<std::string>& paths, AddOutcome* outcome,
                      const std::string& addedFolder) {
    std::vector<std::string> failures;
    std::vector<std::unique_ptr<CFileInfo>> records =
        m_opener->OpenAll(paths, outcome ? &failures : nullptr);
    m_entries.reserve(m_entries.size() + records.size());
    int added = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i]) {
            records[i]->AddedFolder = addedFolder;
            m_entries.push_back(std::move(records[i]));
            ++added;
        } else if (outcome) {
            outcome->Unreadable.push_back({paths[i], std::move(failures[i])});
        }
    }
    return added;
}

void CFileList::SetInfoCache(CFileInfoCache* cache) { m_opener->SetCache(cache); }

void CFileList::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    m_entries.erase(m_entries.begin() + index);
}

void CFileList::Clear() { m_entries.clear(); }

CFileInfo* CFileList::Get(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return m_entries[static_cast<std::size_t>(index)].get();
}

int CFileList::Count() const { return static_cast<int>(m_entries.size()); }

bool CFileList::LoadPlaylist(const std::string& path) {
    Clear();
    return AppendPlaylist(path);
}

bool CFileList::AppendPlaylist(const std::string& path, AddOutcome* outcome) {
    AddAll(ReadPlaylist(path), outcome);
    return true;
}

std::vector<std::string> CFileList::ReadPlaylist(const std::string& path) {
    const std::string folder = PlaylistFolder(path);
    std::vector<std::string> paths;
    CTextFileRead reader(path);
    std::string line;
    while (reader.ReadLine(line)) {
        const std::string entry = Strip(line);
        // Comments and the tags of extended playlists ("#EXTM3U", "#EXTINF:...") name no file.
        if (entry.empty() || entry.front() == '#') continue;
        paths.push_back(entry.front() == '/' ? entry : folder + entry);
    }
    return paths;
}

bool CFileList::SavePlaylist(const std::string& path) const {
    // The old list stays untouched until the new one is complete: a failure or a crash while
    // saving (FileList.m3u at exit) must not lose it.
    const std::string target = platform::ReplacementTarget(path);
    std::string tempPath;
    {
        platform::File created = platform::CreateSiblingTempFile(target, tempPath);
        if (!created.IsOpen()) throw CTextFileException(created.LastError().code);
    }
    try {
        CTextFileWrite writer(tempPath, kEncodingAnsi);
        for (const auto& entry : m_entries) {
            writer.Write(entry->Path);
            writer.WriteEndOfLine();
        }
        writer.Close();
        platform::File written = platform::File::OpenRead(tempPath);
        if (!written.IsOpen() || !written.Sync())
            throw CTextFileException(written.LastError().code);
        platform::Error error;
        if (!platform::RenameFile(tempPath, target, &error)) throw CTextFileException(error.code);
    } catch (...) {
        platform::RemoveFile(tempPath);
        throw;
    }
    return true;
}
