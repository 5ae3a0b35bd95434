#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CSettings;

// Reads and writes one value of each type under a key. Every Exchange takes the value by
// reference, writes it when save is true and replaces it only when a read succeeds; all
// return true on success. The virtual operations are declared in their slot order. Windows'
// 32-bit long has no type of its own here (it is int), so it shares the int slots.
class CSettingsStorage {
public:
    virtual ~CSettingsStorage();

    // A new storage for the nested section name, owned by the caller.
    virtual std::unique_ptr<CSettingsStorage> CreateChild(const std::string& name) = 0;
    // Whether exchanges fall back to defaults after a failed read.
    virtual bool ContinueOnError() = 0;
    virtual bool BeginSave();
    virtual bool EndSave();
    virtual bool BeginLoad();
    virtual bool EndLoad();

    virtual bool Exchange(const std::string& key, std::wstring& value, bool save);
    // The standard 8-bit string; text here is UTF-8 throughout, so no conversion is needed.
    virtual bool Exchange(const std::string& key, std::u8string& value, bool save);
    // The string class of the whole program (UTF-8).
    virtual bool Exchange(const std::string& key, std::string& value, bool save);
    // A nested settings object, stored in a child storage named by key.
    virtual bool Exchange(const std::string& key, CSettings& settings, bool save);
    virtual bool Exchange(const std::string& key, float& value, bool save);
    virtual bool Exchange(const std::string& key, std::int64_t& value, bool save);
    virtual bool Exchange(const std::string& key, std::uint64_t& value, bool save);
    virtual bool Exchange(const std::string& key, std::uint8_t& value, bool save);
    virtual bool Exchange(const std::string& key, std::int8_t& value, bool save);
    virtual bool Exchange(const std::string& key, std::uint16_t& value, bool save);
    virtual bool Exchange(const std::string& key, std::int16_t& value, bool save);
    virtual bool ExchangeBlock(const std::string& key, void* bytes, std::size_t size,
                               bool save) = 0;
    // Text with a length in bytes of UTF-8, terminator included. Loading: length is the room
    // the caller has; on return it is the room needed (0 when the key is missing). A null text
    // only asks for the length. Saving writes *text.
    virtual bool ExchangeText(const std::string& key, std::string* text, std::size_t& length,
                              bool save) = 0;
    virtual bool Exchange(const std::string& key, double& value, bool save) = 0;
    virtual bool Exchange(const std::string& key, bool& value, bool save) = 0;
    virtual bool Exchange(const std::string& key, unsigned& value, bool save) = 0;
    virtual bool Exchange(const std::string& key, int& value, bool save) = 0;

    // A list of settings objects: a child storage name with a "Count" key, each element in a
    // child of it named by its index.
    virtual bool BeginList(const std::string& name, int& count, bool save);
    virtual bool ExchangeListItem(int index, CSettings& settings, bool save);
    virtual bool EndList(bool save);
    // A list of plain values in a child storage name: "Count" and the keys "Item.<index>".
    // Between BeginValueList and EndValueList the values go through GetOpenList().
    virtual bool BeginValueList(const std::string& name, int& count, bool save);
    virtual const std::string& GetValueListKey(int index);
    virtual bool EndValueList(bool save);

    CSettingsStorage* GetOpenList() const { return m_openList.get(); }

protected:
    CSettingsStorage() = default;

private:
    bool ExchangeTextRetrying(const std::string& key, std::string& value, std::size_t firstRoom,
                              bool save);
    template <class Narrow, class Wide>
    bool ExchangeThrough(const std::string& key, Narrow& value, bool save);
    bool OpenList(const std::string& name, bool save);
    bool CloseList(bool save);

    std::unique_ptr<CSettingsStorage> m_openList;
    std::string m_valueListKey;
};
