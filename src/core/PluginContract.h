#pragma once

// What a plug-in library (Plugins/*.so) and the program agree on. A plug-in includes this
// header and the interfaces it names, and links none of the program's libraries: everything
// it knows of the host arrives through these seven exports.

#include "lang/LanguageTable.h"

class ICore;

extern "C" {

// Text buffers passed to GetPluginName and GetPluginVersion: a plug-in writes at most
// KELTO_PLUGIN_TEXT_LENGTH - 1 characters and a terminating zero.
enum { KELTO_PLUGIN_TEXT_LENGTH = 1024 };

typedef bool (*KeltoGetPluginName)(wchar_t* buffer);
typedef bool (*KeltoGetPluginVersion)(wchar_t* buffer);
// owner: the main window, a QWidget*.
typedef bool (*KeltoShowPluginDialog)(void* owner);
typedef int (*KeltoInitPlugin)(void);
typedef bool (*KeltoDeInitPlugin)(void);
// languageManager: the program's CLanguageManager; its first member is the dlopen handle of
// the loaded language library (null when none is loaded).
typedef bool (*KeltoSetLanguage)(void* languageManager);
typedef bool (*KeltoSetCoreObject)(ICore* core);

// The program's own string table, exported by the kelto executable so that a plug-in can
// fall back to it (dlsym(RTLD_DEFAULT, kProgramLanguageTableSymbol)).
const KeltoLanguageTable* kelto_program_language_table(void);
}

inline constexpr const char* kProgramLanguageTableSymbol = "kelto_program_language_table";

// The export names, in the order the host looks them up.
inline constexpr const char* kPluginExportNames[7] = {
    "GetPluginName", "GetPluginVersion", "ShowPluginDialog", "InitPlugin",
    "DeInitPlugin",  "SetLanguage",      "SetCoreObject",
};
