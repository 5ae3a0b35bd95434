#include "settings/SettingsStorageIniFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

// Read as the default text, it tells a missing key from any text a user could have written.
constexpr std::string_view kMissingText = "\xC3\xBF\x7F\x08";  // U+00FF U+007F U+0008
constexpr std::size_t kMinimumRoom = 1024;
constexpr std::size_t kBoolRoom = 16;

std::string_view SkipLeadingSpace(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\n\v\f\r");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// As "%d"/"%u" convert one item: an optional sign, then at least one digit; whatever follows
// is ignored. Values the type cannot hold fail.
bool ParseMagnitude(std::string_view text, bool& negative, std::uint64_t& magnitude) {
    text = SkipLeadingSpace(text);
    negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    return error == std::errc() && end != text.data();
}

bool ParseInt(std::string_view text, int& value) {
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (!ParseMagnitude(text, negative, magnitude)) return false;
    const std::uint64_t limit = negative ? std::uint64_t{1} + std::numeric_limits<int>::max()
                                         : std::numeric_limits<int>::max();
    if (magnitude > limit) return false;
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

// "%u" accepts a minus sign and wraps, as the C library does.
bool ParseUnsigned(std::string_view text, unsigned& value) {
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (!ParseMagnitude(text, negative, magnitude)) return false;
    if (magnitude > std::numeric_limits<unsigned>::max()) return false;
    value = static_cast<unsigned>(magnitude);
    if (negative) value = 0u - value;
    return true;
}

bool ParseDouble(std::string_view text, double& value) {
    text = SkipLeadingSpace(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data();
}

// "%f": six decimals, independent of the process's locale (Qt sets it from the environment).
std::string FormatDouble(double value) {
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, 6);
    return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace

CSettingsStorageIniFile::CSettingsStorageIniFile(const std::string& filePath,
                                                 const std::string& section)
    : m_document(std::make_shared<Document>()), m_section(section), m_ownsDocument(true) {
    m_document->path = filePath;
}

CSettingsStorageIniFile::CSettingsStorageIniFile(std::shared_ptr<Document> document,
                                                 std::string section)
    : m_document(std::move(document)), m_section(std::move(section)), m_ownsDocument(false) {}

CSettingsStorageIniFile::~CSettingsStorageIniFile() {
    if (m_ownsDocument) Flush();
}

CIniFile& CSettingsStorageIniFile::Ini() {
    if (!m_document->loaded) {
        m_document->ini.Load(m_document->path);
        m_document->loaded = true;
    }
    return m_document->ini;
}

bool CSettingsStorageIniFile::Flush() {
    if (!m_document->loaded || !m_document->ini.IsModified()) return true;
    return m_document->ini.Save(m_document->path);
}

std::unique_ptr<CSettingsStorage> CSettingsStorageIniFile::CreateChild(const std::string& name) {
    return std::unique_ptr<CSettingsStorage>(
        new CSettingsStorageIniFile(m_document, m_section + "." + name));
}

bool CSettingsStorageIniFile::ContinueOnError() { return true; }

bool CSettingsStorageIniFile::EndSave() { return !m_ownsDocument || Flush(); }

bool CSettingsStorageIniFile::EndLoad() { return !m_ownsDocument || LoadProblem().empty(); }

bool CSettingsStorageIniFile::ExchangeBlock(const std::string& key, void* bytes, std::size_t size,
                                            bool save) {
    if (save) return Ini().WriteStruct(m_section, key, bytes, size);
    return Ini().GetStruct(m_section, key, bytes, size);
}

bool CSettingsStorageIniFile::ExchangeText(const std::string& key, std::string* text,
                                           std::size_t& length, bool save) {
    if (save) return text && Ini().WriteString(m_section, key, *text);
    const std::size_t room = std::max(length, kMinimumRoom);
    const std::string value = Ini().GetString(m_section, key, kMissingText);
    // The profile function fills at most room - 1 characters; a full buffer may hold a cut
    // value, so the caller is asked to come back with more room (twice the room used).
    const std::size_t count = std::min(value.size(), room - 1);
    if (count + 1 == room) {
        length = 2 * room;
        return false;
    }
    if (value == kMissingText) {
        length = 0;
        return false;
    }
    if (!text) {
        length = count + 1;
        return true;
    }
    if (length < count + 1) {
        length = count + 1;
        return false;
    }
    *text = value;
    return true;
}

bool CSettingsStorageIniFile::ReadNumberText(const std::string& key, std::string& text) {
    text = Ini().GetString(m_section, key, "");
    return !text.empty();
}

bool CSettingsStorageIniFile::Exchange(const std::string& key, double& value, bool save) {
    if (save) return Ini().WriteString(m_section, key, FormatDouble(value));
    std::string text;
    double read = 0;
    if (!ReadNumberText(key, text) || !ParseDouble(text, read)) return false;
    value = read;
    return true;
}

bool CSettingsStorageIniFile::Exchange(const std::string& key, bool& value, bool save) {
    if (save) return Ini().WriteString(m_section, key, value ? "TRUE" : "FALSE");
    std::string text;
    std::size_t length = kBoolRoom;
    if (!ExchangeText(key, &text, length, false)) return false;
    value = text == "TRUE";
    return true;
}

bool CSettingsStorageIniFile::Exchange(const std::string& key, unsigned& value, bool save) {
    if (save) return Ini().WriteString(m_section, key, std::to_string(value));
    std::string text;
    return ReadNumberText(key, text) && ParseUnsigned(text, value);
}

bool CSettingsStorageIniFile::Exchange(const std::string& key, int& value, bool save) {
    if (save) return Ini().WriteString(m_section, key, std::to_string(value));
    std::string text;
    return ReadNumberText(key, text) && ParseInt(text, value);
}
