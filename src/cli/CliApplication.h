#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/RunSummary.h"
#include "session/AddOutcome.h"
#include "session/Conversion.h"
#include "session/Shard.h"

class CAudioExtensions;
class CCatalogue;
class CCore;
class CFileInfoCache;
class CFileList;
class CSettingsSet;
class CWorkingFolder;

// kelto-cli: builds the file list from its inputs with the same classes the main window uses,
// applies, starts and waits, and reports. Run returns the exit status.
class CCliApplication {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    CCliApplication();
    ~CCliApplication();
    CCliApplication(const CCliApplication&) = delete;
    CCliApplication& operator=(const CCliApplication&) = delete;

    int Run(const std::vector<std::string>& args);

private:
    int Execute();
    bool EnterWorkingFolder();
    bool LoadStartup();
    bool ChooseCoder(ConversionChoice& choice);
    bool ChoosePreset(ConversionChoice& choice);
    bool ApplyRunSettings();
    bool BuildFileList();
    // Adds files named on the command line; false (each named on standard error) when one of
    // them is no audio file or cannot be listed. Empties files.
    bool AddNamedFiles(std::vector<std::string>& files);
    // What adding a folder or a playlist passed over: a warning for each file or folder that
    // could not be read, and the counts for the summary.
    void TakeOutcome(const AddOutcome& outcome);
    // The presets the catalogue refused, a warning each.
    void WarnRefusedPresets() const;
    bool PrepareJobs(const ConversionChoice& choice);
    bool MakeOutputFolder();
    int Convert(const ConversionChoice& choice);
    int UsageError(const std::string& message);

    CliOptions m_options;
    std::string m_startDirectory;
    std::unique_ptr<CSettingsSet> m_settings;
    std::unique_ptr<CCatalogue> m_catalogue;
    std::unique_ptr<CFileInfoCache> m_infoCache;
    std::unique_ptr<CFileList> m_files;
    std::unique_ptr<CCore> m_core;
    std::unique_ptr<CConversion> m_conversion;
    std::unique_ptr<CAudioExtensions> m_audio;
    // Files named on the command line (not found in a folder or a playlist).
    std::unordered_set<const CFileInfo*> m_namedFiles;
    InputCounts m_inputs;
    CShard m_shard;            // --shard: the share of the inputs' files to convert
    bool m_shareEmpty = false;  // the share holds none of them
};
