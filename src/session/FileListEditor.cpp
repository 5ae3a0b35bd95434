#include "session/FileListEditor.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>
#include <vector>

#include "base/Folders.h"
#include "base/Paths.h"
#include "base/TextFileException.h"
#include "platform/File.h"
#include "platform/ReadableFile.h"
#include "session/AudioExtensions.h"
#include "session/FileList.h"
#include "session/OutputRecord.h"
#include "session/Shard.h"
#include "session/SheetTracks.h"
#include "settings/SettingsGeneral.h"

CFileListEditor::CFileListEditor(CFileList& list, const CSettingsGeneral& settings,
                                 const CAudioExtensions* audioOnly)
    : m_list(list), m_settings(settings), m_audioOnly(audioOnly) {}

std::string CFileListEditor::FoldDoubledSeparators(const std::string& path) {
    std::string folded;
    folded.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        folded += path[i];
        if (path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') ++i;
    }
    return folded;
}

bool CFileListEditor::AddPath(const std::string& path) {
    const std::string folded = FoldDoubledSeparators(path);
    if (m_settings.AddOnlyExists == 1 && !FileExists(folded)) return false;
    return m_list.Add(folded);
}

int CFileListEditor::AddPaths(const std::vector<std::string>& paths, AddOutcome* outcome,
                              const std::string& addedFolder) {
    std::vector<std::string> folded;
    folded.reserve(paths.size());
    for (const std::string& path : paths) folded.push_back(FoldDoubledSeparators(path));
    return Offer(InShare(std::move(folded), addedFolder), m_settings.AddOnlyExists == 1, outcome,
                 addedFolder);
}

std::vector<std::string> CFileListEditor::InShare(std::vector<std::string> paths,
                                                  const std::string& base) const {
    if (!m_shard || m_shard->IsWhole()) return paths;
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [&](const std::string& path) { return !m_shard->Holds(path, base); }),
                paths.end());
    return paths;
}

int CFileListEditor::Offer(const std::vector<std::string>& paths, bool onlyReadable,
                           AddOutcome* outcome, const std::string& addedFolder) {
    std::vector<std::string> offered;
    // Why a path was kept out here; empty for one offered or passed over.
    std::vector<std::string> keptOut(paths.size());
    std::vector<bool> isOffered(paths.size(), false);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // A track of a saved list is asked about through its sheet; a sheet counts as audio.
        const std::string path = CSheetTracks::FileOfEntry(paths[i]);
        const bool sheet = CSheetTracks::IsSheet(path) || path.size() != paths[i].size();
        platform::Error error;
        if (m_audioOnly && !sheet && !m_audioOnly->IsAudio(path)) {
            // A folder the listing does not descend into (hidden, read-only, linked) is no file.
            error = platform::RegularFileError(path);
            if (error.code == platform::Error::kNotRegularFile) {
                keptOut[i] = error.text;
            } else if (error.code != EISDIR && outcome) {
                ++outcome->NotAudio;
            }
            continue;
        }
        // A file only a decoder knows is listed unread; whether it can be read is asked here.
        if (onlyReadable || sheet || (m_audioOnly && m_audioOnly->IsDecoderOnly(path))) {
            error = platform::ReadableFileError(path);
        }
        if (error) {
            keptOut[i] = error.text;
            continue;
        }
        isOffered[i] = true;
        offered.push_back(paths[i]);
    }
    AddOutcome opened;
    const int added = m_list.AddAll(offered, outcome ? &opened : nullptr, addedFolder);
    if (!outcome) return added;
    outcome->NotAudio += opened.NotAudio;
    // Both kinds of refusal, in the order of paths (the list's follow the order of offered).
    std::size_t next = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!keptOut[i].empty()) {
            outcome->Unreadable.push_back({paths[i], std::move(keptOut[i])});
        } else if (isOffered[i] && next < opened.Unreadable.size() &&
                   opened.Unreadable[next].Path == CSheetTracks::FileOfEntry(paths[i])) {
            outcome->Unreadable.push_back(std::move(opened.Unreadable[next++]));
        }
    }
    return added;
}

void CFileListEditor::LeaveOutRecorded(std::vector<std::string>& files,
                                       const std::vector<std::string>& folders) {
    // A record may lie in any folder listed, or above the added one (its output folder).
    std::vector<std::string> recordFolders;
    for (const std::string& folder : folders)
        recordFolders.push_back(TrailingSeparator(folder, false));
    for (std::string above = recordFolders.empty() ? std::string() : PathFolder(recordFolders[0]);
         !above.empty() && above != "/" && above != "."; above = PathFolder(above)) {
        recordFolders.push_back(above);
    }
    std::unordered_set<std::string> written;
    for (const std::string& folder : recordFolders) {
        const std::string record = TrailingSeparator(folder, true) + COutputRecord::kFileName;
        if (!platform::PathExists(record)) continue;
        const COutputRecord loaded = COutputRecord::Load(folder);
        for (const auto& [output, entry] : loaded.Entries()) {
            written.insert(TrailingSeparator(folder, true) + output);
        }
    }
    std::erase_if(files, [&](const std::string& path) {
        const std::string name = PathFileName(path);
        if (name == COutputRecord::kFileName) return true;
        return written.count(FoldDoubledSeparators(path)) != 0;
    });
}

bool CFileListEditor::AddFolder(const std::string& folder, bool recursive, AddOutcome* outcome) {
    std::vector<std::string> queue{folder};
    std::vector<std::string> files;
    std::vector<std::string> found;
    for (std::size_t at = 0; at < queue.size(); ++at) {
        platform::Error error;
        if (ListSubfolders(queue[at], "*", found, &error)) {
            queue.insert(queue.end(), found.begin(), found.end());
        }
        if (!error && ListFiles(queue[at], "*", found, &error)) {
            files.insert(files.end(), found.begin(), found.end());
        }
        if (error && outcome) outcome->Unreadable.push_back({queue[at], error.text});
        if (!recursive) break;
    }
    // What kelto wrote there itself is no source, unless named on its own.
    LeaveOutRecorded(files, queue);
    // An image goes with its sheet, as its tracks, also when shares split the folder's files.
    std::unordered_set<std::string> images;
    for (const std::string& path : files) {
        if (!CSheetTracks::IsSheet(path)) continue;
        for (std::string& image : CSheetTracks::NamedImages(path)) images.insert(std::move(image));
    }
    if (!images.empty()) {
        std::erase_if(files, [&](const std::string& path) { return images.count(path) != 0; });
    }
    // The whole tree is listed first, so that its headers are read together on every processor.
    std::string added = FoldDoubledSeparators(folder);
    while (added.size() > 1 && added.back() == '/') added.pop_back();
    AddPaths(files, outcome, added);
    return true;
}

template <class Operation>
bool CFileListEditor::Report(const std::string& path, Operation operation) {
    m_lastErrorCode = 0;
    m_lastError.clear();
    try {
        return operation();
    } catch (const CTextFileException& error) {
        m_lastErrorCode = error.GetErrorCode();
        m_lastError = path + ": " + error.what();
        return false;
    }
}

bool CFileListEditor::LoadPlaylist(const std::string& path) {
    return Report(path, [&] { return m_list.LoadPlaylist(path); });
}

bool CFileListEditor::SavePlaylist(const std::string& path) {
    return Report(path, [&] { return m_list.SavePlaylist(path); });
}

bool CFileListEditor::AppendPlaylist(const std::string& path, AddOutcome* outcome) {
    std::vector<std::string> paths;
    const bool read = Report(path, [&] {
        // A playlist that cannot be opened would read as an empty one.
        if (const platform::Error error = platform::ReadableFileError(path)) {
            throw CTextFileException(error.code, error.text);
        }
        paths = CFileList::ReadPlaylist(path);
        return true;
    });
    if (read) Offer(InShare(std::move(paths), PathFolder(path)), false, outcome, {});
    return read;
}
