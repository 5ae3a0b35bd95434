#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Core.h"
#include "core/PluginContract.h"

class CLanguageManager;
class IMessageBoxes;

// One loaded plug-in library: its seven exports, what it calls itself and its own core. The
// core is created with the record and destroyed after the library is freed.
class CPlugin {
public:
    CPlugin();
    // Unloads a library still loaded; releases one that was opened but not taken.
    ~CPlugin();
    CPlugin(const CPlugin&) = delete;
    CPlugin& operator=(const CPlugin&) = delete;

    // DeInitPlugin, then the library is freed. Nothing is called afterwards.
    void Unload();
    // The plug-in's dialog, owned by owner (the main window).
    bool ShowDialog(void* owner) const;

    const std::string& GetName() const { return m_name; }
    const std::string& GetVersion() const { return m_version; }
    const std::string& GetFileName() const { return m_fileName; }
    std::int64_t GetFileSize() const { return m_fileSize; }
    ICore& GetCore() const { return *m_core; }

private:
    friend bool LoadPlugin(CPlugin& record, const std::string& path,
                           const CLanguageManager* language, IMessageBoxes& boxes);

    KeltoGetPluginName m_getName = nullptr;
    KeltoGetPluginVersion m_getVersion = nullptr;
    KeltoShowPluginDialog m_showDialog = nullptr;
    KeltoInitPlugin m_init = nullptr;
    KeltoDeInitPlugin m_deInit = nullptr;
    KeltoSetLanguage m_setLanguage = nullptr;
    KeltoSetCoreObject m_setCore = nullptr;
    void* m_module = nullptr;
    bool m_initialised = false;
    std::string m_name;
    std::string m_version;
    std::string m_fileName;
    std::int64_t m_fileSize = 0;
    std::unique_ptr<CCore> m_core;
};

// Loads the library at path into record: on success its exports are bound, InitPlugin,
// SetLanguage and SetCoreObject were called and the name and version read (trimmed). A library
// that cannot be loaded shows the loader's text in one box captioned "Error"; one that lacks an
// export is released without a word. false in both cases.
bool LoadPlugin(CPlugin& record, const std::string& path, const CLanguageManager* language,
                IMessageBoxes& boxes);

// The text a plug-in left in buffer: at most KELTO_PLUGIN_TEXT_LENGTH - 1 characters up to the
// first zero, white space removed at both ends, as UTF-8.
std::string ReadPluginText(const wchar_t* buffer);
