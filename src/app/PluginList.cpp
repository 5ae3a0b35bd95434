#include "app/PluginList.h"

#include "base/Folders.h"

CPluginList::~CPluginList() { UnloadAll(); }

bool CPluginList::LoadPlugins(const std::string& folder, const CLanguageManager* language,
                              IMessageBoxes& boxes) {
    std::vector<std::string> paths;
    if (!ListFiles(folder, "*.so", paths)) return false;
    for (const std::string& path : paths) {
        auto record = std::make_unique<CPlugin>();
        if (LoadPlugin(*record, path, language, boxes)) m_plugins.push_back(std::move(record));
    }
    return true;
}

void CPluginList::UnloadAll() {
    for (auto& plugin : m_plugins) {
        plugin->Unload();
        plugin.reset();  // its core, after its library
    }
    m_plugins.clear();
}

const CPlugin* CPluginList::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_plugins[static_cast<std::size_t>(index)].get();
}
