#include "session/FileListEditor.h"

#include <vector>

#include "core/Folders.h"
#include "core/TextFileException.h"
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

bool CFileListEditor::AddFolder(const std::string& folder, bool recursive) {
    std::vector<std::string> queue{folder};
    std::vector<std::string> found;
    for (std::size_t at = 0; at < queue.size(); ++at) {
        if (ListSubfolders(queue[at], "*", found)) {
            queue.insert(queue.end(), found.begin(), found.end());
        }
        if (ListFiles(queue[at], "*", found)) {
            for (const std::string& file : found) AddPath(file);
        }
        if (!recursive) break;
    }
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
