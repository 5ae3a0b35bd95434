#pragma once

class CSettingsSet;

// The dialog mix-in that holds the program's settings set; the set is lent and outlives the
// dialog.
class CDlgSettingsImpl {
public:
    explicit CDlgSettingsImpl(CSettingsSet* settings) : m_settings(settings) {}

    CSettingsSet* GetSettings() const { return m_settings; }

protected:
    ~CDlgSettingsImpl() = default;

private:
    CSettingsSet* m_settings;
};
