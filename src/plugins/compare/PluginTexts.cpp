#include "plugins/compare/PluginTexts.h"

#include "plugins/compare/LanguageTables.h"

namespace {

QString CutText(const char* text) {
    if (!text) return {};
    QString result = QString::fromUtf8(text);
    if (result.size() > CPluginTexts::kMaxTextLength) {
        qsizetype length = CPluginTexts::kMaxTextLength;
        // Never keep half of a character that needs two UTF-16 units.
        if (result.at(length - 1).isHighSurrogate()) --length;
        result.truncate(length);
    }
    return result;
}

}  // namespace

QString CPluginTexts::GetString(std::uint32_t id) const {
    QString text;
    if (m_languageManager) {
        void* module = *static_cast<void* const*>(m_languageManager);
        text = CutText(FindLanguageString(LibraryLanguageTable(module), id));
    }
    if (text.isEmpty()) text = CutText(FindLanguageString(ProgramLanguageTable(), id));
    return text;
}
