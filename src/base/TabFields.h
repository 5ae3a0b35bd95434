#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

// The lines of kelto's small record files: fields separated by tabs, each field with its
// backslashes, tabs and line ends written as \\, \t, \n and \r, so any bytes fit in a line.

std::string EscapeField(const std::string& field);
// False for a backslash that starts none of the four.
bool UnescapeField(std::string_view field, std::string* out);
// The fields of line, split at every tab; false when there are not exactly count of them.
bool SplitFields(std::string_view line, std::size_t count, std::vector<std::string_view>* fields);

// A field that holds a whole decimal number and nothing else.
template <class Number>
bool ReadFieldNumber(std::string_view field, Number* value) {
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), *value);
    return error == std::errc() && end == field.data() + field.size();
}
