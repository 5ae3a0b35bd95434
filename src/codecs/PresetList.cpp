#include "codecs/PresetList.h"

#include "codecs/LineFiles.h"
#include "base/TextFileRead.h"

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

}  // namespace

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
