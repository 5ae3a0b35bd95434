// A plug-in for the host's tests, built in three kinds (KELTO_TEST_PLUGIN_KIND):
//   1  well behaved, but its name and version have blanks around them
//   2  lacks SetCoreObject
//   3  writes a name of 1,100 characters without a terminator
// Every call the host makes is appended to plugin-calls.txt in the current directory as
// "<tag> <call> <details>", so the tests can read the calls after the library is gone.
#include <dlfcn.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "core/ICore.h"
#include "core/PluginContract.h"

namespace {

void Log(const std::string& line) {
    if (std::FILE* file = std::fopen("plugin-calls.txt", "a")) {
        std::fprintf(file, "%s %s\n", KELTO_TEST_PLUGIN_TAG, line.c_str());
        std::fclose(file);
    }
}

std::string Pointer(const void* pointer) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

std::string Text(const KeltoLanguageTable* table, std::uint32_t id) {
    if (!table) return "(none)";
    for (std::uint32_t i = 0; i < table->stringCount; ++i) {
        if (table->strings[i].id == id) return table->strings[i].text;
    }
    return "(missing)";
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int InitPlugin(void) {
    Log("Init");
    return 1;
}

__attribute__((visibility("default"))) bool SetLanguage(void* languageManager) {
    // The manager's first member is the language library's handle.
    void* module = *static_cast<void**>(languageManager);
    auto library = reinterpret_cast<KeltoLanguageTableFunction>(
        module ? dlsym(module, "kelto_language_table") : nullptr);
    auto program = reinterpret_cast<KeltoLanguageTableFunction>(
        dlsym(RTLD_DEFAULT, "kelto_program_language_table"));
    Log("SetLanguage library=" + Text(library ? library() : nullptr, 116) +
        " program=" + Text(program ? program() : nullptr, 128));
    return true;
}

#if KELTO_TEST_PLUGIN_KIND != 2
__attribute__((visibility("default"))) bool SetCoreObject(ICore* core) {
    const int threads = core->SetThreadsCount(2);
    Log("SetCore core=" + Pointer(core) + " threads=" + std::to_string(threads) +
        " running=" + std::to_string(core->IsRunning()));
    return true;
}
#endif

__attribute__((visibility("default"))) bool GetPluginName(wchar_t* buffer) {
    Log("GetName");
#if KELTO_TEST_PLUGIN_KIND == 3
    // Careless: past the promised 1,024 characters, and no terminator.
    for (int i = 0; i < 1100; ++i) buffer[i] = L'x';
#elif KELTO_TEST_PLUGIN_KIND == 2
    std::wcscpy(buffer, L"No core");
#else
    std::wcscpy(buffer, L" \t SampleProbe  \n");
#endif
    return true;
}

__attribute__((visibility("default"))) bool GetPluginVersion(wchar_t* buffer) {
    Log("GetVersion");
    std::wcscpy(buffer, L"  2.5 beta ");
    return true;
}

__attribute__((visibility("default"))) bool ShowPluginDialog(void* owner) {
    Log("Show owner=" + Pointer(owner));
    return true;
}

__attribute__((visibility("default"))) bool DeInitPlugin(void) {
    Log("DeInit");
    return true;
}
}
