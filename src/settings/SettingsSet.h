#pragma once

#include <string>

#include "settings/Settings.h"
#include "settings/SettingsCore.h"
#include "settings/SettingsDatabase.h"
#include "settings/SettingsGeneral.h"
#include "settings/SettingsWindow.h"

// What CSettingsSet::LoadFile found wrong with a file it could not take as it stands.
struct SettingsLoadProblem {
    std::string Reason;    // the system's reason, or what makes the file no INI text
    std::string KeptCopy;  // where a file of no INI text is kept before it is saved over
};

// Every setting of the program: the root section "Settings" of Settings.ini and the nested
// sections Settings.Window, Settings.Core, Settings.General and Settings.Database. A new set
// holds the defaults.
class CSettingsSet : public CSettings {
public:
    static constexpr const char* kFileName = "Settings.ini";
    static constexpr const char* kSection = "Settings";

    CSettingsSet();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // Load and Save on an INI storage of the file with the section "Settings". A file that
    // exists but cannot be read, or is no INI text, leaves the defaults and fails the load;
    // problem (when given) then says why.
    bool LoadFile(const std::string& path, SettingsLoadProblem* problem = nullptr);
    bool SaveFile(const std::string& path);

    int CoderIndex;
    int PresetIndex;
    int OptionsInitialPage;
    int FilterIndex;
    int ShowCoders;
    int ShowDecoders;
    CSettingsWindow Window;
    CSettingsCore Core;
    CSettingsGeneral General;
    CSettingsDatabase Database;
};
