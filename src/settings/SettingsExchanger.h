#pragma once

#include <string>

#include "settings/Settings.h"
#include "settings/SettingsStorage.h"

// The pattern every settings object follows in Exchange, value by value: reset sets the
// default; without continueOnError the first failure stops the exchange; with it a failed
// read takes the default, while a failed write or nested object marks the result false.
//
//     CSettingsExchanger x(continueOnError, storage, save, reset);
//     x.Value("Priority", Priority, 1) && x.Value("ThreadsCount", ThreadsCount, 1);
//     return x.Result();
class CSettingsExchanger {
public:
    CSettingsExchanger(bool continueOnError, CSettingsStorage* storage, bool save, bool reset)
        : m_continueOnError(continueOnError), m_storage(storage), m_save(save), m_reset(reset) {}

    // False when the exchange must stop at once.
    template <class T, class D>
    bool Value(const std::string& key, T& value, const D& defaultValue) {
        if (m_reset) {
            value = defaultValue;
            return true;
        }
        if (m_storage->Exchange(key, value, m_save)) return true;
        if (!m_continueOnError) return Stop();
        if (m_save) {
            m_result = false;
        } else {
            value = defaultValue;
        }
        return true;
    }

    // A nested object in the section named key; reset resets it.
    bool Nested(const std::string& key, CSettings& settings) {
        if (m_reset) return settings.Exchange(m_continueOnError, nullptr, m_save, true);
        if (m_storage->Exchange(key, settings, m_save)) return true;
        if (!m_continueOnError) return Stop();
        m_result = false;
        return true;
    }

    bool Result() const { return m_result; }

private:
    bool Stop() {
        m_result = false;
        return false;
    }

    bool m_continueOnError;
    CSettingsStorage* m_storage;
    bool m_save;
    bool m_reset;
    bool m_result = true;
};
