#include "lang/LanguageManager.h"

#include <cstddef>
#include <iostream>
#include <type_traits>

#include "base/Log.h"
#include "platform/DynamicLibrary.h"
#include "platform/File.h"

static_assert(std::is_standard_layout_v<CLanguageManager>,
              "plug-ins read the module handle from the start of the object");

namespace {

// Byte length of the first maxCharacters characters of UTF-8 text; a cut never splits a
// multi-byte sequence.
std::size_t PrefixLength(const char* text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    std::size_t i = 0;
    for (; text[i] != '\0'; ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters) break;
    }
    return i;
}

std::string CutText(const char* text) {
    if (!text) return {};
    return std::string(text, PrefixLength(text, CLanguageManager::kMaxTextLength));
}

}  // namespace

CLanguageManager::CLanguageManager() {
    static_assert(offsetof(CLanguageManager, m_module) == 0);
    AddEntry("czech", {0x0405});
    AddEntry("danish", {0x0406});
    AddEntry("dutch", {0x0413, 0x0813});
    AddEntry("finnish", {0x040B});
    AddEntry("french", {0x040C, 0x080C, 0x0C0C, 0x100C});
    AddEntry("german", {0x0407, 0x0807, 0x0C07});
    AddEntry("greek", {0x0408});
    AddEntry("hungarian", {0x040E});
    AddEntry("icelandic", {0x040F});
    AddEntry("italian", {0x0410, 0x0810});
    AddEntry("norwegian", {0x0414, 0x0814});
    AddEntry("polish", {0x0415});
    AddEntry("portugues_br", {0x0416});
    AddEntry("russian", {0x0419});
    AddEntry("slovak", {0x041B});
    AddEntry("spanish", {0x040A, 0x080A, 0x0C0A});
    AddEntry("swedish", {0x041D});
    AddEntry("turkish", {0x041F});
}

CLanguageManager::~CLanguageManager() { Free(); }

void CLanguageManager::AddEntry(const std::string& name, std::initializer_list<std::uint16_t> ids) {
    LanguageEntry& entry = m_languageTable.at(static_cast<std::size_t>(m_entryCount++));
    entry.name = name;
    for (std::uint16_t id : ids) entry.ids.at(entry.idCount++) = id;
}

void CLanguageManager::SetDefaults(const std::string& folder, const std::string& defaultLanguage) {
    m_languageFolder = folder;
    m_defaultLanguage = defaultLanguage;
}

bool CLanguageManager::SelectByLanguageId(std::uint16_t languageId) {
    const std::string base = platform::CurrentDirectory();
    for (std::int32_t i = 0; i < m_entryCount; ++i) {
        const LanguageEntry& entry = m_languageTable[static_cast<std::size_t>(i)];
        for (std::uint32_t k = 0; k < entry.idCount; ++k) {
            if (entry.ids[k] != languageId) continue;
            const std::string path = base + "/" + m_languageFolder + "/" + entry.name + ".so";
            if (Load(path, entry.name)) return true;
        }
    }
    return false;
}

bool CLanguageManager::Load(const std::string& path, const std::string& name) {
    Free();
    m_currentLanguage = name;
    if (!platform::PathExists(path)) {
        m_currentLanguage = m_defaultLanguage;
        return false;
    }
    const platform::LibraryResult result = platform::LoadLibrary(path);
    if (!result.handle) {
        ReportError(result.error);
        return true;
    }
    m_module = result.handle;
    m_table = LanguageTableOfLibrary(m_module);
    if (!m_table) AddLogLine("The language library " + path + " holds no texts.");
    return true;
}

void CLanguageManager::Free() {
    if (m_module) platform::FreeLibrary(m_module);
    m_module = nullptr;
    m_table = nullptr;
}

std::string CLanguageManager::GetString(std::uint32_t id) const {
    std::string text = CutText(FindLanguageString(m_table, id));
    if (text.empty()) text = CutText(FindLanguageString(BuiltinLanguageTable(), id));
    return text;
}

bool CLanguageManager::GetMenu(std::uint32_t id, LanguageMenu& menu) const {
    return ReadLanguageMenu(m_table, id, menu) ||
           ReadLanguageMenu(BuiltinLanguageTable(), id, menu);
}

void CLanguageManager::ReportError(const std::string& text) const {
    static const std::string kCaption = "Error";
    if (m_messageSink) return m_messageSink->ShowMessage(text, kCaption, IMessageSink::Icon::Error);
    AddLogLine(kCaption + ": " + text);
    std::cerr << kCaption << ": " << text << std::endl;
}

CLanguageManager& GetLanguageManager() {
    // Never destroyed: plug-ins and late shut-down code may still ask it for texts.
    static CLanguageManager* manager = new CLanguageManager;
    return *manager;
}

bool SelectStartupLanguage(CLanguageManager& manager, std::uint16_t languageId) {
    manager.SetDefaults("Languages", "English");
    if (manager.SelectByLanguageId(languageId)) return true;
    return manager.Load("Languages/English.so", "English");
}
