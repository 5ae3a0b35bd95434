#pragma once

#include <string>

#include "settings/Settings.h"
#include "settings/SettingsCore.h"
#include "settings/SettingsDatabase.h"
#include "settings/SettingsGeneral.h"
#include "settings/SettingsWindow.h"

// Every setting of the program: the root section "Settings" of Settings.ini and the nested
// sections Settings.Window, Settings.Core, Settings.General and Settings.Database. A new set
// holds the defaults.
class CSettingsSet : public CSettings {
public:
    static constexpr const char* kFileName = "Settings.ini";
    static constexpr const char* kSection = "Settings";

    CSettingsSet();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // Load and Save on an INI storage of the file with the section "Settings".
    bool LoadFile(const std::string& path);
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
