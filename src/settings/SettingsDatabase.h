#pragma once

#include "settings/Settings.h"

// Section Settings.Database: how executables in Codecs are looked up.
class CSettingsDatabase : public CSettings {
public:
    CSettingsDatabase();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // Look an executable up by its file name when its hash is not found.
    int FindByFileName;
};
