#include "session/PreparedRows.h"

#include <functional>
#include <unordered_set>

#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"

void CPreparedRows::Record(const CFileInfo& file, PreparedWith with) {
    with.Path = file.Path;
    m_rows[&file] = std::move(with);
}

const PreparedWith* CPreparedRows::Find(const CFileInfo& file) const {
    const auto found = m_rows.find(&file);
    if (found == m_rows.end() || found->second.Path != file.Path) return nullptr;
    return &found->second;
}

void CPreparedRows::KeepOnly(const std::vector<const CFileInfo*>& files) {
    if (m_rows.empty()) return;
    const std::unordered_set<const CFileInfo*> listed(files.begin(), files.end());
    std::erase_if(m_rows, [&listed](const auto& row) { return listed.count(row.first) == 0; });
}

std::size_t CPreparedRows::LineHash(const std::string& line) {
    return std::hash<std::string>{}(line);
}

bool CPreparedRows::IsEdited(const CFileInfo& file, const PreparedWith& with) {
    const std::size_t decoder = file.Decoder ? LineHash(file.Decoder->GetCommandLine()) : 0;
    const std::size_t coder = file.Coder ? LineHash(file.Coder->GetCommandLine()) : 0;
    return decoder != with.DecoderLine || coder != with.CoderLine;
}
