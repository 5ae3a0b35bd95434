#pragma once

#include <QString>
#include <cstdint>

// The plug-in's texts by id: from the host's language library, else from the host program's
// own table, else empty.
class CPluginTexts {
public:
    // Longest text, in characters: what the host's 1024-character buffer held.
    static constexpr qsizetype kMaxTextLength = 1023;

    // languageManager is the host's language manager; only its first member, the language
    // library's dlopen handle, is read. Null before the host set a language.
    void SetLanguageManager(const void* languageManager) { m_languageManager = languageManager; }
    bool HasLanguageManager() const { return m_languageManager != nullptr; }

    QString GetString(std::uint32_t id) const;

private:
    const void* m_languageManager = nullptr;
};
