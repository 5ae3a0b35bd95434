#pragma once

#include "settings/Settings.h"
#include "settings/WindowPlacement.h"

// Section Settings.Window: the main window's placement. It has no default: reset and a failed
// read leave it as it was.
class CSettingsWindow : public CSettings {
public:
    CSettingsWindow();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    WindowPlacement Placement;
};
