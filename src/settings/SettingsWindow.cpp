#include "settings/SettingsWindow.h"

#include "settings/SettingsStorage.h"

CSettingsWindow::CSettingsWindow() { CSettingsWindow::Exchange(true, nullptr, false, true); }

bool CSettingsWindow::Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                               bool reset) {
    if (reset) return true;
    auto bytes = Placement.ToBytes();
    if (storage->ExchangeBlock("Placement", bytes.data(), bytes.size(), save)) {
        if (!save) Placement = WindowPlacement::FromBytes(bytes);
        return true;
    }
    return !save && continueOnError;
}
