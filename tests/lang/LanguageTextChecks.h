#pragma once

// What the language tests compare between a translation and English.

#include <cstring>
#include <string>
#include <vector>

#include "lang/LanguageTable.h"

// The printf conversions of a text, in order ("%d", "%.2lf", ...); "%%" is not one.
inline std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i)) {
        if (i + 1 < text.size() && text[i + 1] == '%') {
            i += 2;
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && std::strchr("-+ #0123456789.l", text[end])) ++end;
        if (end < text.size()) ++end;  // the conversion letter
        found.push_back(text.substr(i, end - i));
        i = end;
    }
    return found;
}

// Kind, id and depth of every menu entry, without the texts.
inline std::string Shape(const std::vector<LanguageMenuItem>& items) {
    std::string shape;
    for (const LanguageMenuItem& item : items) {
        switch (item.kind) {
            case LanguageMenuItem::Kind::Separator:
                shape += "- ";
                break;
            case LanguageMenuItem::Kind::Command:
                shape += std::to_string(item.id) + " ";
                break;
            case LanguageMenuItem::Kind::Popup:
                shape += "[ " + Shape(item.children) + "] ";
                break;
        }
    }
    return shape;
}
