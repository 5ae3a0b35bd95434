#pragma once

#include <memory>
#include <string>

#include "settings/IniFile.h"
#include "settings/SettingsStorage.h"

// Keeps every value as text in one section of an INI file; nested objects and lists go to the
// sections "<section>.<name>". The storage made by the caller reads the file once, on first
// use, and shares it with its children; what they write is kept in memory and replaces the
// file in one atomic step at EndSave (or, for writes made outside a Save, when the storage
// is destroyed or flushed).
class CSettingsStorageIniFile : public CSettingsStorage {
public:
    CSettingsStorageIniFile(const std::string& filePath, const std::string& section);
    ~CSettingsStorageIniFile() override;

    using CSettingsStorage::Exchange;

    std::unique_ptr<CSettingsStorage> CreateChild(const std::string& name) override;
    bool ContinueOnError() override;
    bool EndSave() override;
    // False, for the storage made by the caller, when the file exists but could not be read
    // or was no INI text (its values then took their defaults): see LoadProblem.
    bool EndLoad() override;
    bool ExchangeBlock(const std::string& key, void* bytes, std::size_t size, bool save) override;
    bool ExchangeText(const std::string& key, std::string* text, std::size_t& length,
                      bool save) override;
    bool Exchange(const std::string& key, double& value, bool save) override;
    bool Exchange(const std::string& key, bool& value, bool save) override;
    bool Exchange(const std::string& key, unsigned& value, bool save) override;
    bool Exchange(const std::string& key, int& value, bool save) override;

    // Writes pending changes to the file; true when there were none.
    bool Flush();
    const std::string& GetFilePath() const { return m_document->path; }
    const std::string& GetSection() const { return m_section; }
    // Why the last flush (or the reading of the file) failed.
    const platform::Error& LastError() const { return m_document->ini.LastError(); }
    // Why the file could not be taken as it stands (CIniFile::LoadProblem); empty when it was.
    std::string LoadProblem() { return Ini().LoadProblem(); }
    // Where the file is kept before it is saved over, when it was no INI text; else empty.
    std::string KeptCopyPath() { return Ini().KeptCopyPath(m_document->path); }

private:
    struct Document {
        std::string path;
        CIniFile ini;
        bool loaded = false;
    };

    CSettingsStorageIniFile(std::shared_ptr<Document> document, std::string section);
    CIniFile& Ini();
    // The value as the profile function reads it into an unlimited buffer with an empty
    // default; false when it is missing or empty.
    bool ReadNumberText(const std::string& key, std::string& text);

    std::shared_ptr<Document> m_document;
    std::string m_section;
    bool m_ownsDocument;
};
