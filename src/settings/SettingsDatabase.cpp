#include "settings/SettingsDatabase.h"

#include "settings/SettingsExchanger.h"

CSettingsDatabase::CSettingsDatabase() { CSettingsDatabase::Exchange(true, nullptr, false, true); }

bool CSettingsDatabase::Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                                 bool reset) {
    CSettingsExchanger x(continueOnError, storage, save, reset);
    x.Value("FindByFileName", FindByFileName, 0);
    return x.Result();
}
