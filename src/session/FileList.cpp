#include "session/FileList.h"

#include <algorithm>
#include <unordered_set>

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
#include "session/SheetTracks.h"

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

// The line that comes before a track's image in a saved list; older versions skip it as a
// comment and list the image whole.
constexpr std::string_view kTrackLine = "#KELTO-TRACK:";

// The track entry of a kTrackLine ("#KELTO-TRACK:3:/music/album.cue"); empty when line is
// none (a relative sheet path is taken from folder).
std::string TrackEntryOfLine(const std::string& line, const std::string& folder) {
    if (line.compare(0, kTrackLine.size(), kTrackLine) != 0) return {};
    const auto colon = line.find(':', kTrackLine.size());
    if (colon == std::string::npos || colon == kTrackLine.size() || colon + 1 >= line.size()) {
        return {};
    }
    const std::string digits = line.substr(kTrackLine.size(), colon - kTrackLine.size());
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(digits) == 0) {
        return {};
    }
    const std::string sheet = line.substr(colon + 1);
    return CSheetTracks::TrackEntry(sheet.front() == '/' ? sheet : folder + sheet,
                                    std::stoi(digits));
}

// The images that the sheets among paths name: listed as their tracks, they are not listed
// whole as well.
std::unordered_set<std::string> ImagesOfSheets(const std::vector<std::string>& paths) {
    std::unordered_set<std::string> images;
    for (const std::string& path : paths) {
        if (!CSheetTracks::IsSheet(path)) continue;
        for (std::string& image : CSheetTracks::NamedImages(path)) images.insert(std::move(image));
    }
    return images;
}

}  // namespace

CFileList::CFileList()
    : m_mediaInfo(std::make_unique<MediaInfoHandle>()),
      m_opener(std::make_unique<CFileInfoOpener>(m_mediaInfo.get())) {}

CFileList::~CFileList() { m_entries.clear(); }

bool CFileList::Add(const std::string& path) {
    if (CSheetTracks::IsSheet(path) || path.find('\0') != std::string::npos) {
        return AddAll({path}) > 0;
    }
    auto info = std::make_unique<CFileInfo>();
    if (!info->Open(path, m_mediaInfo.get())) return false;
    std::vector<std::unique_ptr<CFileInfo>> tracks = CSheetTracks::FromEmbedded(*info);
    if (tracks.empty()) m_entries.push_back(std::move(info));
    for (auto& track : tracks) m_entries.push_back(std::move(track));
    return true;
}

int CFileList::AddAll(const std::vector<std::string>& paths, AddOutcome* outcome,
                      const std::string& addedFolder) {
    // Files are read together on every processor; sheets and their tracks afterwards, in place.
    const auto isSheet = [](const std::string& path) {
        return CSheetTracks::IsSheet(path) || path.find('\0') != std::string::npos;
    };
    const bool anySheet = std::any_of(paths.begin(), paths.end(), isSheet);
    std::unordered_set<std::string> sheetImages;
    std::vector<std::string> kept;
    std::vector<bool> isFile;
    if (anySheet) {
        sheetImages = ImagesOfSheets(paths);
        isFile.assign(paths.size(), false);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (isSheet(paths[i]) || sheetImages.count(paths[i]) != 0) continue;
            isFile[i] = true;
            kept.push_back(paths[i]);
        }
        // An image listed whole before is not listed a second time beside its tracks.
        std::erase_if(m_entries, [&](const std::unique_ptr<CFileInfo>& entry) {
            return !entry->Track && sheetImages.count(entry->Path) != 0;
        });
    }
    const std::vector<std::string>& files = anySheet ? kept : paths;
    std::vector<std::string> failures;
    std::vector<std::unique_ptr<CFileInfo>> records =
        m_opener->OpenAll(files, outcome ? &failures : nullptr);
    m_entries.reserve(m_entries.size() + records.size());
    int added = 0;
    const auto append = [&](std::unique_ptr<CFileInfo> record) {
        record->AddedFolder = addedFolder;
        m_entries.push_back(std::move(record));
        ++added;
    };
    std::size_t next = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!anySheet || isFile[i]) {
            std::unique_ptr<CFileInfo>& record = records[next++];
            if (!record) {
                if (outcome) outcome->Unreadable.push_back({paths[i], std::move(failures[next - 1])});
                continue;
            }
            std::vector<std::unique_ptr<CFileInfo>> tracks = CSheetTracks::FromEmbedded(*record);
            if (tracks.empty()) append(std::move(record));
            for (auto& track : tracks) append(std::move(track));
            continue;
        }
        if (sheetImages.count(paths[i]) != 0) continue;
        std::vector<std::unique_ptr<CFileInfo>> tracks;
        std::string failure;
        if (!CSheetTracks::Make(paths[i], m_mediaInfo.get(), tracks, failure)) {
            if (outcome && failure.empty()) {
                ++outcome->NotAudio;
            } else if (outcome) {
                outcome->Unreadable.push_back({CSheetTracks::FileOfEntry(paths[i]), failure});
            }
            continue;
        }
        for (auto& track : tracks) append(std::move(track));
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
    std::string track;
    while (reader.ReadLine(line)) {
        const std::string entry = Strip(line);
        if (entry.empty()) continue;
        // Comments and the tags of extended playlists ("#EXTM3U", "#EXTINF:...") name no file;
        // kelto's own track line says what part of the next file is meant.
        // Other comments between it and its file (an #EXTINF line a player added) leave it be.
        if (entry.front() == '#') {
            if (std::string named = TrackEntryOfLine(entry, folder); !named.empty())
                track = std::move(named);
            continue;
        }
        paths.push_back(!track.empty() ? track : entry.front() == '/' ? entry : folder + entry);
        track.clear();
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
            if (entry->Track) {
                writer.Write(std::string(kTrackLine) + std::to_string(entry->Track->Number) + ":" +
                             entry->Track->SheetPath);
                writer.WriteEndOfLine();
            }
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
