// Exported by the kelto executable itself: plug-ins find the program's own string table here
// when the language library has no text for them.
#include "core/PluginContract.h"

extern "C" __attribute__((visibility("default"))) const KeltoLanguageTable*
kelto_program_language_table(void) {
    return BuiltinLanguageTable();
}
