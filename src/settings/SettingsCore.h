#pragma once

#include "settings/Settings.h"

// Section Settings.Core: how the codec programs are run.
class CSettingsCore : public CSettings {
public:
    CSettingsCore();

    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override;

    // 0 idle, 1 normal, 2 high, 3 real-time.
    int Priority;
    // Number of jobs the core runs at once.
    int ThreadsCount;

    // The machine's processor count: what a first start (no Settings.ini) takes for
    // ThreadsCount, and what the Options dialog marks.
    static int ProcessorCount();
};
