#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One language file of lang/ as read by langc. The format is described in lang/README.md.

struct SourceMenuEntry {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    std::uint16_t depth = 0;
    std::uint32_t id = 0;
    std::string text;
};

struct SourceMenu {
    std::uint32_t id = 0;
    std::vector<SourceMenuEntry> entries;  // reading order, depth 0 = top level
};

struct LanguageSource {
    std::map<std::uint32_t, std::string> strings;
    std::vector<SourceMenu> menus;
};

// Parses the text of a language file. Every problem is added to errors as
// "fileName:line: message"; the result is usable only when errors stays empty.
LanguageSource ParseLanguageSource(const std::string& text, const std::string& fileName,
                                   std::vector<std::string>& errors);
