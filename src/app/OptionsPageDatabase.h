#pragma once

#include <string>

#include "app/OptionsPageImpl.h"

class QCheckBox;

// Page 3: what the codec database holds and how executables are looked up in it
// (Settings.Database).
class COptionsPageDatabase final : public COptionsPageImpl {
public:
    explicit COptionsPageDatabase(const CLanguageManager* language);

    // The database's entry count and date, given before the dialog opens.
    void SetDatabaseInfo(int entryCount, const std::string& date);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    int m_entryCount = 0;
    std::string m_date;
    QCheckBox* m_byName = nullptr;
};
