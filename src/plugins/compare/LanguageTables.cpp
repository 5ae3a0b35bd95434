#include "plugins/compare/LanguageTables.h"

// The plug-in links none of the program's libraries, its platform layer included, so the two
// look-ups it needs are made here directly.
#include <dlfcn.h>

#include "core/PluginContract.h"

const KeltoLanguageTable* LibraryLanguageTable(void* module) {
    if (!module) return nullptr;
    return CallLanguageTableFunction(dlsym(module, kLanguageTableSymbol));
}

const KeltoLanguageTable* ProgramLanguageTable() {
    return CallLanguageTableFunction(dlsym(RTLD_DEFAULT, kProgramLanguageTableSymbol));
}
