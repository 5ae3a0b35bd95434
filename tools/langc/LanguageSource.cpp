#include "LanguageSource.h"

#include <cctype>
#include <cstddef>
#include <limits>

namespace {

constexpr std::uint32_t kMaxStringId = 65535;
constexpr std::size_t kMaxDepth = 8;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Length of the UTF-8 sequence at text[i], or 0 when it is not well formed.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool ParseNumber(const std::string& text, std::uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t result = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        result = result * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (result > std::numeric_limits<std::uint32_t>::max()) return false;
    value = static_cast<std::uint32_t>(result);
    return true;
}

class Parser {
public:
    Parser(const std::string& fileName, std::vector<std::string>& errors)
        : m_fileName(fileName), m_errors(errors) {}

    void ParseLine(const std::string& rawLine, std::size_t lineNumber) {
        m_lineNumber = lineNumber;
        std::string line = rawLine;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string content = Trim(line);
        if (content.empty() || content[0] == '#') return;
        if (!IsValidUtf8(line)) return Error("the line is not valid UTF-8");

        std::size_t indent = 0;
        while (indent < line.size() && IsBlank(line[indent])) {
            if (line[indent] == '\t') return Error("indent with spaces, not tabs");
            ++indent;
        }
        if (indent == 0) return ParseTopLevel(content);
        if (!m_menu) return Error("an indented line belongs in a menu block");
        ParseMenuLine(indent, content);
    }

    LanguageSource Take() {
        if (m_menu && m_lastWasPopup) EmptyPopup();
        return std::move(m_source);
    }

private:
    void Error(const std::string& message) {
        m_errors.push_back(m_fileName + ":" + std::to_string(m_lineNumber) + ": " + message);
    }

    // Splits "key = text" and unescapes the text; false (reported) when malformed.
    bool SplitAssignment(const std::string& content, std::string& key, std::string& text) {
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos) {
            Error("expected \"<id> = <text>\"");
            return false;
        }
        key = Trim(content.substr(0, equals));
        return Unescape(Trim(content.substr(equals + 1)), text);
    }

    bool Unescape(const std::string& raw, std::string& text) {
        text.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\') {
                text += raw[i];
                continue;
            }
            if (++i == raw.size()) {
                Error("a backslash ends the text; write \\\\ for a backslash");
                return false;
            }
            switch (raw[i]) {
                case 'n':
                    text += '\n';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 's':
                    text += ' ';
                    break;
                case '\\':
                    text += '\\';
                    break;
                default:
                    Error(std::string("unknown escape \\") + raw[i] + " (known: \\n \\t \\s \\\\)");
                    return false;
            }
        }
        return true;
    }

    void EmptyPopup() { Error("the popup above has no indented entries"); }

    void ParseTopLevel(const std::string& content) {
        if (m_menu && m_lastWasPopup) EmptyPopup();
        m_menu = nullptr;
        if (content.rfind("menu", 0) == 0 && content.find('=') == std::string::npos) {
            return StartMenu(Trim(content.substr(4)));
        }
        std::string key;
        std::string text;
        if (!SplitAssignment(content, key, text)) return;
        std::uint32_t id = 0;
        if (!ParseNumber(key, id) || id > kMaxStringId) {
            return Error("a text id is a number from 0 to 65535, not \"" + key + "\"");
        }
        if (!m_source.strings.emplace(id, text).second) {
            Error("text " + std::to_string(id) + " is defined twice");
        }
    }

    void StartMenu(const std::string& idText) {
        std::uint32_t id = 0;
        if (!ParseNumber(idText, id)) return Error("expected \"menu <id>\"");
        for (const SourceMenu& menu : m_source.menus) {
            if (menu.id == id) return Error("menu " + idText + " is defined twice");
        }
        m_source.menus.push_back(SourceMenu{id, {}});
        m_menu = &m_source.menus.back();
        m_indents.clear();
        m_lastWasPopup = false;
    }

    // m_indents holds the indentation of each open level; a line deeper than the innermost
    // level opens a new one, which only a popup may have.
    bool PlaceByIndent(std::size_t indent, std::uint16_t& depth) {
        if (m_indents.empty() || indent > m_indents.back()) {
            if (!m_indents.empty() && !m_lastWasPopup) {
                Error("only the entries of a popup may be indented further");
                return false;
            }
            if (m_indents.size() == kMaxDepth) {
                Error("menus nest at most " + std::to_string(kMaxDepth) + " levels deep");
                return false;
            }
            m_indents.push_back(indent);
        } else {
            while (!m_indents.empty() && indent < m_indents.back()) m_indents.pop_back();
            if (m_indents.empty() || indent != m_indents.back()) {
                Error("the indentation matches no enclosing level");
                return false;
            }
        }
        depth = static_cast<std::uint16_t>(m_indents.size() - 1);
        if (m_lastWasPopup && depth <= m_popupDepth) EmptyPopup();
        return true;
    }

    void ParseMenuLine(std::size_t indent, const std::string& content) {
        std::uint16_t depth = 0;
        if (!PlaceByIndent(indent, depth)) return;
        SourceMenuEntry entry;
        entry.depth = depth;
        if (content == "separator") {
            entry.kind = SourceMenuEntry::Kind::Separator;
        } else {
            std::string key;
            if (!SplitAssignment(content, key, entry.text)) return;
            if (key == "popup") {
                entry.kind = SourceMenuEntry::Kind::Popup;
            } else if (!ParseNumber(key, entry.id)) {
                return Error(
                    "expected \"<command id> = <text>\", \"popup = <title>\" or "
                    "\"separator\"");
            }
        }
        m_lastWasPopup = entry.kind == SourceMenuEntry::Kind::Popup;
        m_popupDepth = depth;
        m_menu->entries.push_back(std::move(entry));
    }

    std::string m_fileName;
    std::vector<std::string>& m_errors;
    std::size_t m_lineNumber = 0;
    LanguageSource m_source;
    SourceMenu* m_menu = nullptr;
    std::vector<std::size_t> m_indents;
    bool m_lastWasPopup = false;
    std::size_t m_popupDepth = 0;
};

}  // namespace

LanguageSource ParseLanguageSource(const std::string& text, const std::string& fileName,
                                   std::vector<std::string>& errors) {
    Parser parser(fileName, errors);
    std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    std::size_t lineNumber = 1;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        parser.ParseLine(text.substr(start, end - start), lineNumber++);
        start = end + 1;
    }
    return parser.Take();
}
