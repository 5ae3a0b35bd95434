#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "lang/LanguageTable.h"
#include "base/MessageSink.h"

// One language of the selection table: the library's file name without extension and the
// language identifiers it serves.
struct LanguageEntry {
    std::string name;
    std::array<std::uint16_t, 10> ids{};
    std::uint32_t idCount = 0;
};

// Chooses and holds the language library that supplies every user-interface text.
// One instance per process (GetLanguageManager). Plug-ins receive a pointer to it and read
// the library's dlopen handle from the object's start, so m_module must stay the first member.
// Load, Free and SelectByLanguageId belong to the user-interface thread; GetString and
// GetMenu only read and may be called from other threads while none of those runs.
class CLanguageManager {
public:
    static constexpr std::size_t kMaxEntries = 100;
    // Longest text GetString returns, in characters (code points).
    static constexpr std::size_t kMaxTextLength = 1023;

    CLanguageManager();
    ~CLanguageManager();
    CLanguageManager(const CLanguageManager&) = delete;
    CLanguageManager& operator=(const CLanguageManager&) = delete;

    void SetDefaults(const std::string& folder, const std::string& defaultLanguage);
    // Loads the library of the first table entry that serves languageId and exists.
    bool SelectByLanguageId(std::uint16_t languageId);
    // False only when path does not exist. A file that exists but does not load counts as
    // found: the error handler gets the loader's text and no library stays loaded.
    bool Load(const std::string& path, const std::string& name);
    void Free();
    void* GetModuleHandle() const { return m_module; }

    // The library's text, else the program's own, else empty; cut to kMaxTextLength.
    std::string GetString(std::uint32_t id) const;
    // The library's menu, else the program's own; false when neither has it.
    bool GetMenu(std::uint32_t id, LanguageMenu& menu) const;

    const std::string& GetCurrentLanguage() const { return m_currentLanguage; }
    const std::string& GetDefaultLanguage() const { return m_defaultLanguage; }
    const std::string& GetLanguageFolder() const { return m_languageFolder; }
    std::int32_t GetEntryCount() const { return m_entryCount; }
    const LanguageEntry& GetEntry(std::size_t index) const { return m_languageTable.at(index); }

    // Receives the loader's text when a library exists but cannot be loaded (caption "Error").
    // Not owned; null (the default) writes the text to the program log and to stderr.
    void SetMessageSink(IMessageSink* sink) { m_messageSink = sink; }

private:
    void AddEntry(const std::string& name, std::initializer_list<std::uint16_t> ids);
    void ReportError(const std::string& text) const;

    // The order of the first six members is the design's; m_module first is a contract.
    void* m_module = nullptr;
    std::string m_currentLanguage;
    std::string m_defaultLanguage = "english";
    std::string m_languageFolder = "lng";
    std::array<LanguageEntry, kMaxEntries> m_languageTable;
    std::int32_t m_entryCount = 0;

    const KeltoLanguageTable* m_table = nullptr;
    IMessageSink* m_messageSink = nullptr;
};

// The process's language manager, created on first use and kept until the process ends.
CLanguageManager& GetLanguageManager();

// Start-up choice of the language: defaults "Languages" and "English", the library for
// languageId, else "Languages/English.so" under the name "English". False when even that is
// missing; the caller then shows kNoLanguageMessage with the caption "Error" and exits with -1.
bool SelectStartupLanguage(CLanguageManager& manager, std::uint16_t languageId);

inline constexpr const char* kNoLanguageMessage =
    "Unable to find any language. Try to reinstall application.";
