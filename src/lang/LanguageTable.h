#pragma once

// The layout shared by the language libraries (Languages/<name>.so), the program's own table
// and every module that reads them. A language library exports one C function,
// kelto_language_table, that returns its table. The layout is plain C so that a library built
// at another time still reads the same; the version field guards changes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

extern "C" {

enum { KELTO_LANGUAGE_ABI_VERSION = 1 };

enum KeltoMenuEntryKind : std::uint16_t {
    KELTO_MENU_COMMAND = 0,
    KELTO_MENU_SEPARATOR = 1,
    KELTO_MENU_POPUP = 2,
};

struct KeltoLanguageString {
    std::uint32_t id;
    const char* text;  // UTF-8, never null
};

// Menus travel as a flat list in reading order; depth places each entry below the last popup
// one level up.
struct KeltoMenuEntry {
    std::uint16_t depth;
    std::uint16_t kind;  // KeltoMenuEntryKind
    std::uint32_t id;    // command id; 0 for separators and popups
    const char* text;    // UTF-8; empty for separators
};

struct KeltoLanguageMenu {
    std::uint32_t id;
    std::uint32_t entryCount;
    const KeltoMenuEntry* entries;
};

struct KeltoLanguageTable {
    std::uint32_t abiVersion;   // KELTO_LANGUAGE_ABI_VERSION
    std::uint32_t stringCount;  // strings sorted by id, ids unique
    const KeltoLanguageString* strings;
    std::uint32_t menuCount;
    const KeltoLanguageMenu* menus;
};

typedef const KeltoLanguageTable* (*KeltoLanguageTableFunction)(void);
}

// The name of the function every language library exports.
inline constexpr const char* kLanguageTableSymbol = "kelto_language_table";

// One entry of a menu as the user interface builds it.
struct LanguageMenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    std::uint32_t id = 0;
    std::string text;
    std::vector<LanguageMenuItem> children;  // only for popups
};

struct LanguageMenu {
    std::uint32_t id = 0;
    std::vector<LanguageMenuItem> items;
};

// The program's own table (text 128 "kelto" and the built-in English menu 203), generated
// from lang/builtin.txt.
const KeltoLanguageTable* BuiltinLanguageTable();

// The table of a loaded language library; null when the library exports none or one of
// another layout version.
const KeltoLanguageTable* LanguageTableOfLibrary(void* module);

// The table that a looked-up table function (kLanguageTableSymbol, or the program's
// kelto_program_language_table) gives; null for a null function or another layout version.
inline const KeltoLanguageTable* CallLanguageTableFunction(void* function) {
    if (!function) return nullptr;
    const KeltoLanguageTable* table = reinterpret_cast<KeltoLanguageTableFunction>(function)();
    if (!table || table->abiVersion != KELTO_LANGUAGE_ABI_VERSION) return nullptr;
    return table;
}

// The text of id, or null when the table (which may be null) has none. Inline: plug-ins read
// the tables with it and link none of the program's libraries.
inline const char* FindLanguageString(const KeltoLanguageTable* table, std::uint32_t id) {
    if (!table || !table->strings) return nullptr;
    const KeltoLanguageString* begin = table->strings;
    const KeltoLanguageString* end = begin + table->stringCount;
    const auto* found = std::lower_bound(
        begin, end, id, [](const KeltoLanguageString& s, std::uint32_t key) { return s.id < key; });
    if (found == end || found->id != id || !found->text) return nullptr;
    return found->text;
}

// Builds menu id of the table as a tree; false when the table has no such menu.
bool ReadLanguageMenu(const KeltoLanguageTable* table, std::uint32_t id, LanguageMenu& menu);
