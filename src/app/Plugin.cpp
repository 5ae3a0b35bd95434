#include "app/Plugin.h"

#include <cwctype>
#include <vector>

#include "base/Paths.h"
#include "base/TextFileUnicode.h"
#include "lang/LanguageManager.h"
#include "platform/DynamicLibrary.h"
#include "platform/File.h"
#include "ui/MessageBoxes.h"

namespace {

// The contract promises 1,024 characters, but a careless plug-in may write more or forget the
// terminator: it gets a zeroed buffer with far more room, and only the promised part is read.
constexpr std::size_t kBufferRoom = 16 * KELTO_PLUGIN_TEXT_LENGTH;

template <class TFunction>
bool Bind(void* module, const char* name, TFunction& target) {
    void* symbol = platform::GetSymbol(module, name);
    target = reinterpret_cast<TFunction>(symbol);
    return symbol != nullptr;
}

template <class TFunction>
std::string AskText(TFunction function, std::vector<wchar_t>& buffer) {
    std::fill(buffer.begin(), buffer.end(), L'\0');
    function(buffer.data());
    return ReadPluginText(buffer.data());
}

}  // namespace

std::string ReadPluginText(const wchar_t* buffer) {
    std::size_t end = 0;
    while (end < KELTO_PLUGIN_TEXT_LENGTH - 1 && buffer[end] != L'\0') ++end;
    std::size_t begin = 0;
    while (begin < end && std::iswspace(static_cast<wint_t>(buffer[begin]))) ++begin;
    while (end > begin && std::iswspace(static_cast<wint_t>(buffer[end - 1]))) --end;
    return WideToUtf8(std::wstring_view(buffer + begin, end - begin));
}

CPlugin::CPlugin() : m_core(std::make_unique<CCore>()) {}

CPlugin::~CPlugin() { Unload(); }

void CPlugin::Unload() {
    if (!m_module) return;
    if (m_initialised) m_deInit();
    m_initialised = false;
    // A plug-in must have ended its run by now; should one still go on, its jobs live in the
    // library, so the run is stopped and its workers let go of them before the code goes away.
    if (m_core->IsRunning()) m_core->Stop();
    m_core->WaitForWorkers();
    platform::FreeLibrary(m_module);
    m_module = nullptr;
}

bool CPlugin::ShowDialog(void* owner) const { return m_initialised && m_showDialog(owner); }

bool LoadPlugin(CPlugin& record, const std::string& path, const CLanguageManager* language,
                IMessageBoxes& boxes) {
    const platform::LibraryResult library = platform::LoadLibrary(path);
    if (!library.handle) {
        boxes.Show(nullptr, library.error, "Error", IMessageBoxes::Icon::Error);
        return false;
    }
    record.m_module = library.handle;
    void* module = library.handle;
    const char* const* names = kPluginExportNames;
    const bool bound =
        Bind(module, names[0], record.m_getName) && Bind(module, names[1], record.m_getVersion) &&
        Bind(module, names[2], record.m_showDialog) && Bind(module, names[3], record.m_init) &&
        Bind(module, names[4], record.m_deInit) && Bind(module, names[5], record.m_setLanguage) &&
        Bind(module, names[6], record.m_setCore);
    if (!bound) {
        // Never initialised, so released without DeInitPlugin.
        platform::FreeLibrary(module);
        record.m_module = nullptr;
        return false;
    }
    record.m_init();
    record.m_initialised = true;
    // The plug-in reads the manager's first member only, the language library's handle.
    record.m_setLanguage(const_cast<CLanguageManager*>(language));
    record.m_setCore(record.m_core.get());
    std::vector<wchar_t> buffer(kBufferRoom);
    record.m_name = AskText(record.m_getName, buffer);
    record.m_version = AskText(record.m_getVersion, buffer);
    record.m_fileName = PathFileName(path);
    record.m_fileSize = platform::GetFileSize(path);
    return true;
}
