#include "cli/JsonLine.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string CJsonLine::Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

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
    m_members += std::to_string(value);
    return *this;
}

CJsonLine& CJsonLine::Add(const std::string& key, double value) {
    Key(key);
    if (!std::isfinite(value)) {
        m_members += "null";
        return *this;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    // Round trip first, then prefer the shortest text that reads back the same.
    for (int digits = 1; digits <= 17; ++digits) {
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
        if (std::strtod(shorter, nullptr) == value) {
            m_members += shorter;
            return *this;
        }
    }
    m_members += text;
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
