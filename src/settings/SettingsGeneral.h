#pragma once

#include <string>

#include "settings/Settings.h"

// Section Settings.General: where outputs go and how the file list behaves.
class CSettingsGeneral : public CSettings {
public:
    CSettingsGeneral();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // The user's home folder with a trailing "/".
    static std::string DefaultOutputFolder();

    int RememberFileList;
    int OutputFolderSameAsOriginal;
    int ShowWarnings;
    int AddOnlyExists;
    std::string OutputFolder;
};
