#include "settings/SettingsCore.h"

#include <algorithm>
#include <thread>

#include "settings/SettingsExchanger.h"

CSettingsCore::CSettingsCore() { CSettingsCore::Exchange(true, nullptr, false, true); }

bool CSettingsCore::Exchange(bool continueOnError, CSettingsStorage* storage, bool save,
                             bool reset) {
    CSettingsExchanger x(continueOnError, storage, save, reset);
    x.Value("Priority", Priority, 1) && x.Value("ThreadsCount", ThreadsCount, 1);
    return x.Result();
}

int CSettingsCore::ProcessorCount() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}
