#pragma once

#include "app/OptionsPageImpl.h"

class QComboBox;

// Page 1: the priority and the number of jobs of a run (Settings.Core).
class COptionsPageCore final : public COptionsPageImpl {
public:
    static constexpr int kMaxThreads = 8;

    explicit COptionsPageCore(const CLanguageManager* language);

    // This machine's processors, as a first start takes them for ThreadsCount; at least 1.
    static int GetProcessorCount();

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override;

private:
    QComboBox* m_priority = nullptr;
    QComboBox* m_threads = nullptr;
};
