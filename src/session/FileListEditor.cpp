#include "session/FileListEditor.h"

#include <vector>

#include "base/Folders.h"
#include "base/TextFileException.h"
#include "session/FileList.h"
#include "settings/SettingsGeneral.h"

CFileListEditor::CFileListEditor(CFileList& list, const CSettingsGeneral& settings)
    : m_list(list), m_settings(settings) {}

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

int CFileListEditor::AddPaths(const std::vector<std::string>& paths,
                              std::vector<std::string>* refused, const std::string& addedFolder) {
    std::vector<std::string> folded;
    std::vector<bool> kept;
    std::vector<std::string> offered;
    folded.reserve(paths.size());
    for (const std::string& path : paths) {
        folded.push_back(FoldDoubledSeparators(path));
        kept.push_back(m_settings.AddOnlyExists != 1 || FileExists(folded.back()));
        if (kept.back()) offered.push_back(folded.back());
    }
    std::vector<std::string> notOpened;
    const int added = m_list.AddAll(offered, refused ? &notOpened : nullptr, addedFolder);
    if (!refused) return added;
    // Both kinds of refusal, in the order of paths (notOpened follows the order of offered).
    std::size_t next = 0;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (!kept[i]) {
            refused->push_back(folded[i]);
        } else if (next < notOpened.size() && notOpened[next] == folded[i]) {
            refused->push_back(notOpened[next++]);
        }
    }
    return added;
}

bool CFileListEditor::AddFolder(const std::string& folder, bool recursive,
                                std::vector<std::string>* refused) {
    std::vector<std::string> queue{folder};
    std::vector<std::string> files;
    std::vector<std::string> found;
    for (std::size_t at = 0; at < queue.size(); ++at) {
        if (ListSubfolders(queue[at], "*", found)) {
            queue.insert(queue.end(), found.begin(), found.end());
        }
        if (ListFiles(queue[at], "*", found)) {
            files.insert(files.end(), found.begin(), found.end());
        }
        if (!recursive) break;
    }
    // The whole tree is listed first, so that its headers are read together on every processor.
    std::string added = FoldDoubledSeparators(folder);
    while (added.size() > 1 && added.back() == '/') added.pop_back();
    AddPaths(files, refused, added);
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

bool CFileListEditor::AppendPlaylist(const std::string& path, std::vector<std::string>* refused) {
    return Report(path, [&] { return m_list.AppendPlaylist(path, refused); });
}
