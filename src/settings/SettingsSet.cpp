#include "settings/SettingsSet.h"

#include "settings/SettingsExchanger.h"
#include "settings/SettingsStorageIniFile.h"

CSettingsSet::CSettingsSet() { CSettingsSet::Exchange(true, nullptr, false, true); }

bool CSettingsSet::Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                            bool reset) {
    CSettingsExchanger x(continueOnError, storage, save, reset);
    x.Value("CoderIndex", CoderIndex, 0) && x.Value("PresetIndex", PresetIndex, 0) &&
        x.Value("OptionsInitialPage", OptionsInitialPage, 0) &&
        x.Value("FilterIndex", FilterIndex, 0) && x.Value("ShowCoders", ShowCoders, 1) &&
        x.Value("ShowDecoders", ShowDecoders, 1) && x.Nested("Window", Window) &&
        x.Nested("Core", Core) && x.Nested("General", General) && x.Nested("Database", Database);
    return x.Result();
}

bool CSettingsSet::LoadFile(const std::string& path, SettingsLoadProblem* problem) {
    CSettingsStorageIniFile storage(path, kSection);
    const bool loaded = Load(storage);
    if (problem) *problem = {storage.LoadProblem(), storage.KeptCopyPath()};
    return loaded;
}

bool CSettingsSet::SaveFile(const std::string& path) {
    CSettingsStorageIniFile storage(path, kSection);
    return Save(storage);
}
