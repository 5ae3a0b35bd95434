#include "cli/JsonLine.h"

#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace {

// Text that is not UTF-8 (a path in another encoding) would make the line unreadable to any
// JSON parser; each bad byte becomes U+FFFD instead.
std::string Dump(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The shortest decimal text that reads back as the same double, without an exponent: "320",
// "0.341", "0.00001". JSON has no infinity or NaN; they become null.
std::string PlainDecimal(double value) {
    if (!std::isfinite(value)) return "null";
    std::array<char, 400> text;  // room for the 309 digits of the largest double
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc()) return "null";
    return std::string(text.data(), end);
}

}  // namespace

std::string CJsonLine::Quote(const std::string& text) { return Dump(text); }

void CJsonLine::Key(const std::string& key) {
    if (!m_members.empty()) m_members += ", ";
    m_members += Quote(key) + ": ";
}

CJsonLine& CJsonLine::Add(const std::string& key, const std::string& value) {
    Key(key);
    m_members += Quote(value);
    return *this;
}

CJsonLine& CJsonLine::Add(const std::string& key, const char* value) {
    return Add(key, std::string(value));
}

CJsonLine& CJsonLine::Add(const std::string& key, std::int64_t value) {
    Key(key);
    m_members += Dump(value);
    return *this;
}

CJsonLine& CJsonLine::Add(const std::string& key, double value) {
    Key(key);
    m_members += PlainDecimal(value);
    return *this;
}

CJsonLine& CJsonLine::AddNull(const std::string& key) {
    Key(key);
    m_members += "null";
    return *this;
}

CJsonLine& CJsonLine::AddRaw(const std::string& key, const std::string& json) {
    Key(key);
    m_members += json;
    return *this;
}
