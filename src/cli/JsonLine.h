#pragma once

#include <cstdint>
#include <string>

// Builds one JSON object on one line, members in the order they are added, separated by ", "
// with ": " after each key. Numbers are plain decimals: 320, 0.341, never 3.2e+02.
class CJsonLine {
public:
    CJsonLine& Add(const std::string& key, const std::string& value);
    CJsonLine& Add(const std::string& key, const char* value);
    CJsonLine& Add(const std::string& key, std::int64_t value);
    CJsonLine& Add(const std::string& key, int value) {
        return Add(key, static_cast<std::int64_t>(value));
    }
    CJsonLine& Add(const std::string& key, double value);
    CJsonLine& AddNull(const std::string& key);
    // value is JSON text already (an array or object).
    CJsonLine& AddRaw(const std::string& key, const std::string& json);

    // The object, "{...}" without a line break.
    std::string Text() const { return "{" + m_members + "}"; }

    // A JSON string literal of text (UTF-8 passed through, control characters escaped, bytes
    // that are not UTF-8 replaced by U+FFFD).
    static std::string Quote(const std::string& text);

private:
    void Key(const std::string& key);
    std::string m_members;
};
