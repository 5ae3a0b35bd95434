#include "codecs/PresetList.h"

#include <algorithm>

#include "base/Log.h"
#include "base/TextFileRead.h"
#include "codecs/LineFiles.h"
#include "core/Templates.h"

namespace {

// Next non-empty line; at the end of the file, the last line read (or empty). A line of blanks
// counts as non-empty, and lines are taken as they stand.
std::string NextNonEmptyLine(CTextFileRead& file) {
    std::string line;
    while (ReadPackageLine(file, line)) {
        if (!line.empty()) break;
    }
    return line;
}

// Why a command line must not run; empty when it may.
std::string Unrunnable(const std::string& commandLine) {
    if (TrimWhiteSpace(commandLine).empty()) return "its command line is empty";
    std::vector<std::string> names;
    const std::string error = TemplateError(commandLine, &names);
    if (!error.empty()) return "its command line cannot be expanded: " + error;
    std::string missing;
    for (const char* needed : {"%in%", "%out%"}) {
        if (std::find(names.begin(), names.end(), needed) != names.end()) continue;
        missing += (missing.empty() ? "" : " or ") + std::string(needed);
    }
    if (!missing.empty()) return "its command line does not name " + missing;
    return {};
}

}  // namespace

void CPresetList::RefuseUnrunnable(const std::string& source) {
    std::vector<CPreset> kept;
    kept.reserve(m_presets.size());
    for (CPreset& preset : m_presets) {
        const std::string reason = Unrunnable(preset.CommandLine);
        if (reason.empty()) {
            kept.push_back(std::move(preset));
            continue;
        }
        const std::string which = preset.Name.empty()
                                      ? "for " + preset.Extension
                                      : "\"" + preset.Name + "\" (" + preset.Extension + ")";
        m_refused.push_back(source + ": preset " + which + " refused: " + reason);
        AddLogLine(m_refused.back());
    }
    m_presets = std::move(kept);
}

void CPresetList::Add(const std::string& commandLine, const std::string& extension,
                      const std::string& name) {
    m_presets.push_back(CPreset{commandLine, "." + extension, name});
}

bool CPresetList::LoadFromFiles(const std::string& linesFile, const std::string& extensionsFile,
                                bool withNames) {
    CTextFileRead extensions(extensionsFile);
    CTextFileRead lines(linesFile);
    std::string extension;
    while (ReadPackageLine(extensions, extension)) {
        extension = TrimWhiteSpace(extension);
        // Blank lines make no preset and take no line of the other file.
        if (extension.empty()) continue;
        std::string name;
        if (withNames) name = NextNonEmptyLine(lines);
        const std::string commandLine = NextNonEmptyLine(lines);
        Add(commandLine, extension, name);
    }
    return true;
}

const CPreset* CPresetList::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return &m_presets[static_cast<std::size_t>(index)];
}
