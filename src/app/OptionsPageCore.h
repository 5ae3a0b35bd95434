#pragma once

#include "app/OptionsPageImpl.h"

class QComboBox;

// Page 1: the priority and the number of jobs of a run (Settings.Core).
class COptionsPageCore final : public COptionsPageImpl {
public:
    static constexpr int kMaxThreads = 8;

    explicit COptionsPageCore(const CLanguageManager* language);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    QComboBox* m_priority = nullptr;
    QComboBox* m_threads = nullptr;
};
