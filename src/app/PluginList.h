#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Plugin.h"

// The loaded plug-ins in the order they were loaded; a plug-in's position is its index in the
// menu commands and on the Options dialog's Plugins page. Destroying the list unloads them in
// that order.
class CPluginList {
public:
    CPluginList() = default;
    ~CPluginList();
    CPluginList(const CPluginList&) = delete;
    CPluginList& operator=(const CPluginList&) = delete;

    // Loads every "*.so" of folder in enumeration order; false when the folder holds none (it
    // may hold some that all failed to load).
    bool LoadPlugins(const std::string& folder, const CLanguageManager* language,
                     IMessageBoxes& boxes);
    // DeInitPlugin and free every library in order; each core goes after its library.
    void UnloadAll();

    int GetCount() const { return static_cast<int>(m_plugins.size()); }
    // Null for an index outside the list.
    const CPlugin* GetAt(int index) const;

private:
    std::vector<std::unique_ptr<CPlugin>> m_plugins;
};
