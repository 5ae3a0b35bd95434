#include "lang/LanguageTable.h"

#include <algorithm>

#include "platform/DynamicLibrary.h"

const KeltoLanguageTable* LanguageTableOfLibrary(void* module) {
    return CallLanguageTableFunction(platform::GetSymbol(module, kLanguageTableSymbol));
}

namespace {

const KeltoLanguageMenu* FindMenu(const KeltoLanguageTable* table, std::uint32_t id) {
    if (!table || !table->menus) return nullptr;
    for (std::uint32_t i = 0; i < table->menuCount; ++i) {
        if (table->menus[i].id == id) return &table->menus[i];
    }
    return nullptr;
}

LanguageMenuItem MakeItem(const KeltoMenuEntry& entry) {
    LanguageMenuItem item;
    switch (entry.kind) {
        case KELTO_MENU_SEPARATOR:
            item.kind = LanguageMenuItem::Kind::Separator;
            return item;
        case KELTO_MENU_POPUP:
            item.kind = LanguageMenuItem::Kind::Popup;
            break;
        default:
            item.kind = LanguageMenuItem::Kind::Command;
            item.id = entry.id;
            break;
    }
    item.text = entry.text ? entry.text : "";
    return item;
}

}  // namespace

bool ReadLanguageMenu(const KeltoLanguageTable* table, std::uint32_t id, LanguageMenu& menu) {
    const KeltoLanguageMenu* source = FindMenu(table, id);
    if (!source) return false;
    menu.id = id;
    menu.items.clear();
    // levels[d] is the list that takes entries of depth d. A depth that skips a level (only a
    // damaged table has one) attaches to the deepest open list.
    std::vector<std::vector<LanguageMenuItem>*> levels{&menu.items};
    for (std::uint32_t i = 0; source->entries && i < source->entryCount; ++i) {
        const KeltoMenuEntry& entry = source->entries[i];
        const std::size_t depth = std::min<std::size_t>(entry.depth, levels.size() - 1);
        levels.resize(depth + 1);
        levels[depth]->push_back(MakeItem(entry));
        LanguageMenuItem& added = levels[depth]->back();
        if (added.kind == LanguageMenuItem::Kind::Popup) levels.push_back(&added.children);
    }
    return true;
}
