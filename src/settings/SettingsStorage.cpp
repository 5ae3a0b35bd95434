#include "settings/SettingsStorage.h"

#include "base/TextFileUnicode.h"
#include "settings/Settings.h"

namespace {

// First room asked for by the string slots: the program's own string class starts small.
constexpr std::size_t kStringRoom = 128;
constexpr std::size_t kStandardStringRoom = 1024;

}  // namespace

CSettingsStorage::~CSettingsStorage() = default;

bool CSettingsStorage::BeginSave() { return true; }
bool CSettingsStorage::EndSave() { return true; }
bool CSettingsStorage::BeginLoad() { return true; }
bool CSettingsStorage::EndLoad() { return true; }

// A cut value makes ExchangeText ask for more room; asking again until it stops growing lets
// values of any length load (a path may be far longer than the first room).
bool CSettingsStorage::ExchangeTextRetrying(const std::string& key, std::string& value,
                                            std::size_t firstRoom, bool save) {
    if (save) {
        std::size_t length = value.size() + 1;
        return ExchangeText(key, &value, length, true);
    }
    std::string text;
    std::size_t length = firstRoom;
    for (;;) {
        const std::size_t asked = length;
        if (ExchangeText(key, &text, length, false)) {
            value = std::move(text);
            return true;
        }
        if (length <= asked) return false;
    }
}

bool CSettingsStorage::Exchange(const std::string& key, std::wstring& value, bool save) {
    std::string text = save ? WideToUtf8(value) : std::string();
    if (!ExchangeTextRetrying(key, text, kStandardStringRoom, save)) return false;
    if (!save) value = Utf8ToWide(text);
    return true;
}

bool CSettingsStorage::Exchange(const std::string& key, std::u8string& value, bool save) {
    std::string text(value.begin(), value.end());
    if (!ExchangeTextRetrying(key, text, kStandardStringRoom, save)) return false;
    if (!save) value.assign(text.begin(), text.end());
    return true;
}

bool CSettingsStorage::Exchange(const std::string& key, std::string& value, bool save) {
    return ExchangeTextRetrying(key, value, kStringRoom, save);
}

bool CSettingsStorage::Exchange(const std::string& key, CSettings& settings, bool save) {
    const std::unique_ptr<CSettingsStorage> child = CreateChild(key);
    if (!child) return false;
    return save ? settings.Save(*child) : settings.Load(*child);
}

bool CSettingsStorage::Exchange(const std::string& key, float& value, bool save) {
    double wide = value;
    if (!Exchange(key, wide, save)) return false;
    if (!save) value = static_cast<float>(wide);
    return true;
}

bool CSettingsStorage::Exchange(const std::string& key, std::int64_t& value, bool save) {
    return ExchangeBlock(key, &value, sizeof(value), save);
}

bool CSettingsStorage::Exchange(const std::string& key, std::uint64_t& value, bool save) {
    return ExchangeBlock(key, &value, sizeof(value), save);
}

template <class Narrow, class Wide>
bool CSettingsStorage::ExchangeThrough(const std::string& key, Narrow& value, bool save) {
    Wide wide = value;
    if (!Exchange(key, wide, save)) return false;
    if (!save) value = static_cast<Narrow>(wide);
    return true;
}

bool CSettingsStorage::Exchange(const std::string& key, std::uint8_t& value, bool save) {
    return ExchangeThrough<std::uint8_t, unsigned>(key, value, save);
}

bool CSettingsStorage::Exchange(const std::string& key, std::int8_t& value, bool save) {
    return ExchangeThrough<std::int8_t, int>(key, value, save);
}

bool CSettingsStorage::Exchange(const std::string& key, std::uint16_t& value, bool save) {
    return ExchangeThrough<std::uint16_t, unsigned>(key, value, save);
}

bool CSettingsStorage::Exchange(const std::string& key, std::int16_t& value, bool save) {
    return ExchangeThrough<std::int16_t, int>(key, value, save);
}

bool CSettingsStorage::OpenList(const std::string& name, bool save) {
    m_openList = CreateChild(name);
    if (!m_openList) return false;
    return save ? m_openList->BeginSave() : m_openList->BeginLoad();
}

bool CSettingsStorage::CloseList(bool save) {
    if (!m_openList) return false;
    const bool ended = save ? m_openList->EndSave() : m_openList->EndLoad();
    m_openList.reset();
    return ended;
}

bool CSettingsStorage::BeginList(const std::string& name, int& count, bool save) {
    if (count == -1) return false;
    const bool began = OpenList(name, save);
    if (!m_openList) return false;
    auto stored = static_cast<unsigned>(count);
    const bool counted = m_openList->Exchange("Count", stored, save);
    if (counted && !save) count = static_cast<int>(stored);
    return began && counted;
}

bool CSettingsStorage::ExchangeListItem(int index, CSettings& settings, bool save) {
    if (!m_openList) return false;
    const std::unique_ptr<CSettingsStorage> child = m_openList->CreateChild(std::to_string(index));
    if (!child) return false;
    return save ? settings.Save(*child) : settings.Load(*child);
}

bool CSettingsStorage::EndList(bool save) { return CloseList(save); }

bool CSettingsStorage::BeginValueList(const std::string& name, int& count, bool save) {
    const bool began = OpenList(name, save);
    if (!m_openList) return false;
    auto stored = static_cast<unsigned>(count);
    if (!m_openList->Exchange("Count", stored, save)) {
        CloseList(save);
        return false;
    }
    if (!save) count = static_cast<int>(stored);
    return began;
}

const std::string& CSettingsStorage::GetValueListKey(int index) {
    m_valueListKey = "Item." + std::to_string(index);
    return m_valueListKey;
}

bool CSettingsStorage::EndValueList(bool save) { return CloseList(save); }
