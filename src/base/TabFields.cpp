#include "base/TabFields.h"

namespace {

constexpr std::string_view kPlain = "\\\t\n\r";
constexpr std::string_view kEscaped = "\\tnr";

}  // namespace

std::string EscapeField(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        const std::size_t at = kPlain.find(c);
        if (at == std::string_view::npos) {
            out += c;
        } else {
            out += '\\';
            out += kEscaped[at];
        }
    }
    return out;
}

bool UnescapeField(std::string_view field, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            *out += field[i];
            continue;
        }
        const std::size_t at =
            ++i < field.size() ? kEscaped.find(field[i]) : std::string_view::npos;
        if (at == std::string_view::npos) return false;
        *out += kPlain[at];
    }
    return true;
}

bool SplitFields(std::string_view line, std::size_t count, std::vector<std::string_view>* fields) {
    fields->clear();
    for (std::size_t at = 0; fields->size() < count;) {
        const std::size_t tab = line.find('\t', at);
        fields->push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
        if (tab == std::string_view::npos) return fields->size() == count;
        at = tab + 1;
    }
    return false;
}
