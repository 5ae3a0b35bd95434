#include "settings/Settings.h"

#include "settings/SettingsStorage.h"

void CSettings::OnBeforeSave(bool) {}
void CSettings::OnAfterSave(bool) {}
void CSettings::OnBeforeLoad(bool) {}
void CSettings::OnAfterLoad(bool) {}

bool CSettings::Load(CSettingsStorage& storage) {
    const bool began = storage.BeginLoad();
    OnBeforeLoad(began);
    const bool ok = began && Exchange(storage.ContinueOnError(), &storage, false, false);
    const bool ended = storage.EndLoad();
    OnAfterLoad(ok && ended);
    return ok && ended;
}

bool CSettings::Save(CSettingsStorage& storage) {
    const bool began = storage.BeginSave();
    OnBeforeSave(began);
    const bool ok = began && Exchange(storage.ContinueOnError(), &storage, true, false);
    const bool ended = storage.EndSave();
    OnAfterSave(ok && ended);
    return ok && ended;
}
