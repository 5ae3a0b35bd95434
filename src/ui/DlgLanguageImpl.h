#pragma once

#include <QString>
#include <cstdint>

#include "lang/LanguageManager.h"
#include "ui/QtText.h"

// What every dialog of kelto mixes in: the language manager that gives its texts by id.
class CDlgLanguageImpl {
public:
    explicit CDlgLanguageImpl(const CLanguageManager* language) : m_language(language) {}

    QString GetString(std::uint32_t id) const {
        return m_language ? ToQString(m_language->GetString(id)) : QString();
    }
    std::string GetStdString(std::uint32_t id) const {
        return m_language ? m_language->GetString(id) : std::string();
    }
    const CLanguageManager* GetLanguage() const { return m_language; }

protected:
    ~CDlgLanguageImpl() = default;

private:
    const CLanguageManager* m_language;
};
