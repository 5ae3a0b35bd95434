#pragma once

#include <string>
#include <vector>

#include "codecs/Preset.h"

// The presets of one codec, in file (or database) order. Only ever appended to while the
// catalogue loads; a codec record and all its per-file copies share one list.
class CPresetList {
public:
    // Appends a preset whose extension is "." + extension.
    void Add(const std::string& commandLine, const std::string& extension, const std::string& name);

    // Reads a package's line files side by side: every non-blank line of extensionsFile makes a
    // preset, taking its command line (and, withNames, first its name) from the next non-empty
    // lines of linesFile. Missing files read as empty. Always true.
    bool LoadFromFiles(const std::string& linesFile, const std::string& extensionsFile,
                       bool withNames);

    // Takes out every preset kelto must not run: its command line is empty, cannot be expanded
    // (an unknown placeholder, a lone "%"), or does not name both "%in%" and "%out%" (the
    // program would then read or write some other file than the job's). Each one is named in
    // the program log and in GetRefused: "SOURCE: preset "NAME" (.EXT) refused: REASON", where
    // source is the file the presets were read from.
    void RefuseUnrunnable(const std::string& source);
    // The texts of the presets RefuseUnrunnable took out, in their order.
    const std::vector<std::string>& GetRefused() const { return m_refused; }

    int GetCount() const { return static_cast<int>(m_presets.size()); }
    // Null when index is below 0 or at or past the count.
    const CPreset* GetAt(int index) const;

    std::vector<CPreset>::const_iterator begin() const { return m_presets.begin(); }
    std::vector<CPreset>::const_iterator end() const { return m_presets.end(); }

private:
    std::vector<CPreset> m_presets;
    std::vector<std::string> m_refused;
};
