#include "settings/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "base/AsciiText.h"
#include "platform/File.h"
#include "platform/SiblingTempFile.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool IsBlank(char c) { return kBlanks.find(c) != npos; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != npos; }

// A name survives a write and a read only when trimming and the line syntax leave it as is.
bool IsWritableSection(std::string_view section) {
    return !section.empty() && Trim(section) == section && !HasLineBreak(section) &&
           section.find(']') == npos;
}

bool IsWritableKey(std::string_view key) {
    return !key.empty() && Trim(key) == key && !HasLineBreak(key) && key.find('=') == npos &&
           key.front() != '[' && key.front() != ';';
}

// The reader strips surrounding blanks and one pair of enclosing quotes; quoting such a value
// makes it read back unchanged.
std::string QuoteIfNeeded(std::string_view value) {
    const bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                                EnclosedInQuotes(value));
    if (!needsQuotes) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool CIniFile::Load(const std::string& path) {
    m_lines.clear();
    m_byteOrderMark = false;
    m_unreadable = false;
    m_garbled = false;
    m_garbledText.clear();
    m_garbledReason.clear();
    m_modified = false;
    m_error = {};
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) {
        if (file.LastError().code == ENOENT) return true;
        m_unreadable = true;
        m_error = file.LastError();
        return false;
    }
    std::string text;
    char block[16384];
    for (;;) {
        const auto n = file.Read(block, sizeof(block));
        if (n < 0) {
            m_unreadable = true;
            m_error = file.LastError();
            return false;
        }
        if (n == 0) break;
        text.append(block, static_cast<std::size_t>(n));
    }
    m_garbledReason = TextProblem(text);
    if (!m_garbledReason.empty()) {
        // Read as empty, so its keys take their defaults instead of whatever the bytes hold.
        m_garbled = true;
        m_garbledText = std::move(text);
        return false;
    }
    Parse(text);
    return true;
}

std::string CIniFile::TextProblem(std::string_view text) {
    if (text.find('\0') != npos) return "not INI text: it holds NUL bytes";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    bool anyLine = false;
    while (!text.empty()) {
        const auto lineFeed = text.find('\n');
        const std::string_view content = Trim(text.substr(0, lineFeed));
        text.remove_prefix(lineFeed == npos ? text.size() : lineFeed + 1);
        anyLine = true;
        if (content.empty() || content.front() == ';' || content.front() == '#' ||
            content.front() == '[' || content.find('=') != npos) {
            return {};
        }
    }
    return anyLine ? "not INI text: none of its lines is a section, a key or a comment"
                   : std::string();
}

std::string CIniFile::LoadProblem() const {
    if (m_unreadable) return m_error.text;
    return m_garbledReason;
}

std::string CIniFile::KeptCopyPath(const std::string& path) const {
    return m_garbled ? path + ".bad" : std::string();
}

void CIniFile::Parse(std::string_view text) {
    m_lines.clear();
    m_modified = false;
    m_byteOrderMark = text.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (m_byteOrderMark) text.remove_prefix(kByteOrderMark.size());
    while (!text.empty()) {
        const auto lineFeed = text.find('\n');
        std::string_view body = text.substr(0, lineFeed);
        std::string end;
        if (lineFeed != npos) {
            end = "\n";
            if (!body.empty() && body.back() == '\r') {
                body.remove_suffix(1);
                end = "\r\n";
            }
        }
        m_lines.push_back(ParseLine(std::string(body), std::move(end)));
        text.remove_prefix(lineFeed == npos ? text.size() : lineFeed + 1);
    }
}

CIniFile::Line CIniFile::ParseLine(std::string text, std::string end) {
    Line line{std::move(text), std::move(end), LineKind::kOther, {}};
    const std::string_view content = Trim(line.text);
    if (content.empty() || content.front() == ';') return line;
    if (content.front() == '[') {
        const auto close = content.find(']');
        line.kind = LineKind::kSection;
        line.name = Trim(content.substr(1, close == npos ? npos : close - 1));
        return line;
    }
    const auto equals = content.find('=');
    if (equals == npos) return line;
    line.kind = LineKind::kKey;
    line.name = Trim(content.substr(0, equals));
    return line;
}

std::string CIniFile::ValueOf(const Line& line) {
    std::string_view value = Trim(std::string_view(line.text).substr(line.text.find('=') + 1));
    if (EnclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::size_t CIniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == LineKind::kSection && EqualNoCase(m_lines[i].name, section)) {
            return i;
        }
    }
    return npos;
}

std::size_t CIniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == LineKind::kSection) break;
        if (m_lines[i].kind == LineKind::kKey && EqualNoCase(m_lines[i].name, key)) return i;
    }
    return npos;
}

std::size_t CIniFile::SectionEnd(std::size_t sectionLine) const {
    std::size_t end = sectionLine + 1;
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == LineKind::kSection) break;
        if (m_lines[i].kind == LineKind::kKey) end = i + 1;
    }
    return end;
}

bool CIniFile::Find(std::string_view section, std::string_view key, std::string& value) const {
    const auto sectionLine = FindSection(section);
    if (sectionLine == npos) return false;
    const auto keyLine = FindKey(sectionLine, key);
    if (keyLine == npos) return false;
    value = ValueOf(m_lines[keyLine]);
    return true;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view defaultText) const {
    std::string value;
    if (!Find(section, key, value)) return std::string(defaultText);
    return value;
}

std::string CIniFile::NewLineEnd() const {
    for (const Line& line : m_lines) {
        if (!line.end.empty()) return line.end;
    }
    return "\n";
}

void CIniFile::InsertLine(std::size_t index, Line line) {
    line.end = NewLineEnd();
    if (index > 0 && m_lines[index - 1].end.empty()) m_lines[index - 1].end = line.end;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

bool CIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreak(value)) return false;
    const std::string quoted = QuoteIfNeeded(value);
    auto sectionLine = FindSection(section);
    if (sectionLine == npos) {
        if (!m_lines.empty() && !Trim(m_lines.back().text).empty()) {
            InsertLine(m_lines.size(), Line{});
        }
        sectionLine = m_lines.size();
        InsertLine(sectionLine, ParseLine("[" + std::string(section) + "]", {}));
    }
    const auto keyLine = FindKey(sectionLine, key);
    if (keyLine == npos) {
        InsertLine(SectionEnd(sectionLine), ParseLine(std::string(key) + "=" + quoted, {}));
    } else {
        Line& line = m_lines[keyLine];
        if (ValueOf(line) == value) return true;  // keeps the line's own spacing
        std::string_view keyPart = std::string_view(line.text).substr(0, line.text.find('='));
        keyPart = keyPart.substr(0, keyPart.find_last_not_of(kBlanks) + 1);
        line.text = std::string(keyPart) + "=" + quoted;
    }
    m_modified = true;
    return true;
}

bool CIniFile::GetStruct(std::string_view section, std::string_view key, void* bytes,
                         std::size_t size) const {
    std::string value;
    if (!Find(section, key, value) || value.size() != 2 * (size + 1)) return false;
    std::vector<unsigned char> decoded(size + 1);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const int high = HexDigit(value[2 * i]);
        const int low = HexDigit(value[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        decoded[i] = static_cast<unsigned char>(high * 16 + low);
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += decoded[i];
    if ((sum & 0xFF) != decoded[size]) return false;
    if (size > 0)
        std::copy(decoded.begin(), decoded.begin() + static_cast<std::ptrdiff_t>(size),
                  static_cast<unsigned char*>(bytes));
    return true;
}

bool CIniFile::WriteStruct(std::string_view section, std::string_view key, const void* bytes,
                           std::size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* data = static_cast<const unsigned char*>(bytes);
    std::string text;
    text.reserve(2 * (size + 1));
    unsigned sum = 0;
    auto append = [&text](unsigned byte) {
        text += kDigits[(byte >> 4) & 0xF];
        text += kDigits[byte & 0xF];
    };
    for (std::size_t i = 0; i < size; ++i) {
        append(data[i]);
        sum += data[i];
    }
    append(sum & 0xFF);
    return WriteString(section, key, text);
}

std::string CIniFile::Text() const {
    std::string text;
    if (m_byteOrderMark) text += kByteOrderMark;
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.end;
    }
    return text;
}

bool CIniFile::Save(const std::string& path) {
    if (m_unreadable) return false;  // m_error still holds why it could not be read
    // What the user had is not lost with the file: it stays readable beside it.
    if (m_garbled && !WriteReplacing(KeptCopyPath(path), m_garbledText)) return false;
    m_garbled = false;
    m_garbledText.clear();
    if (!WriteReplacing(platform::ReplacementTarget(path), Text())) return false;
    m_modified = false;
    return true;
}

bool CIniFile::WriteReplacing(const std::string& target, const std::string& text) {
    std::string tempPath;
    platform::File file = platform::CreateSiblingTempFile(target, tempPath);
    const bool written =
        file.IsOpen() && file.WriteAll(text.data(), text.size()) && file.Sync() && file.Close();
    platform::Error error = file.LastError();
    if (written && platform::RenameFile(tempPath, target, &error)) {
        m_error = {};
        return true;
    }
    if (!tempPath.empty()) platform::RemoveFile(tempPath);
    m_error = error;
    return false;
}
