#pragma once

class CSettingsStorage;

// A settings object: its values are described once, in Exchange, which both loads and saves.
class CSettings {
public:
    virtual ~CSettings() = default;

    virtual void OnBeforeSave(bool began);
    virtual void OnAfterSave(bool ok);
    virtual void OnBeforeLoad(bool began);
    virtual void OnAfterLoad(bool ok);
    // Moves every value between the object and the storage (save true: to the storage). With
    // reset true it sets the defaults and leaves the storage alone (storage may then be null).
    // With continueOnError a failed value takes its default (loading) or marks the result
    // false (saving) and the exchange goes on; without it the first failure ends it.
    virtual bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                          bool reset) = 0;
    virtual bool Load(CSettingsStorage& storage);
    virtual bool Save(CSettingsStorage& storage);

protected:
    CSettings() = default;
    CSettings(const CSettings&) = default;
    CSettings& operator=(const CSettings&) = default;
};
