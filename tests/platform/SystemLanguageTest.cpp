#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SystemLanguage.h"

TEST(SystemLanguage, LocaleNamesMapToWindowsLanguageIds) {
    const std::vector<std::pair<std::string, std::uint16_t>> cases = {
        {"fr_CA", 0x0C0C},       {"fr_CA.UTF-8", 0x0C0C},  {"fr_CA.utf8@euro", 0x0C0C},
        {"fr-ca", 0x0C0C},       {"fr", 0x040C},           {"fr_FR.UTF-8", 0x040C},
        {"fr_BE", 0x080C},       {"fr_CH", 0x100C},        {"de", 0x0407},
        {"de_DE@euro", 0x0407},  {"de_AT.UTF-8", 0x0C07},  {"de_CH", 0x0807},
        {"pt_BR.UTF-8", 0x0416}, {"pt_PT", 0x0816},        {"en_GB.UTF-8", 0x0809},
        {"en_US", 0x0409},       {"es_ES", 0x0C0A},        {"es_MX", 0x080A},
        {"nl_NL", 0x0413},       {"nl_BE", 0x0813},        {"it_IT", 0x0410},
        {"it_CH", 0x0810},       {"nb_NO", 0x0414},        {"nn_NO", 0x0814},
        {"cs_CZ", 0x0405},       {"da_DK", 0x0406},        {"fi_FI", 0x040B},
        {"el_GR", 0x0408},       {"hu_HU", 0x040E},        {"is_IS", 0x040F},
        {"pl_PL.UTF-8", 0x0415}, {"ru_RU.KOI8-R", 0x0419}, {"sk_SK", 0x041B},
        {"sv_SE", 0x041D},       {"tr_TR", 0x041F},        {"ja_JP.eucJP", 0x0411},
        {"zh_TW", 0x0404},       {"zh_CN", 0x0804},        {"fr_XX", 0x040C},
    };
    for (const auto& [locale, id] : cases) {
        EXPECT_EQ(platform::LanguageIdFromLocale(locale), id) << locale;
    }
}

TEST(SystemLanguage, CPosixEmptyAndUnknownLocalesAreUsEnglish) {
    for (const char* locale : {"C", "POSIX", "C.UTF-8", "", "xx_YY", "_", ".UTF-8", "@"}) {
        EXPECT_EQ(platform::LanguageIdFromLocale(locale), 0x0409) << locale;
    }
}

namespace {
// Sets the three locale variables for one test and puts the old values back.
class LocaleEnvironment {
public:
    LocaleEnvironment(const char* all, const char* messages, const char* lang) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < 3; ++i)
            Set(kNames[i], m_saved[i] ? m_saved[i]->c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> m_saved;
};
}  // namespace

TEST(SystemLanguage, FirstNonEmptyOfLcAllLcMessagesAndLangDecides) {
    {
        LocaleEnvironment env("pl_PL.UTF-8", "de_AT.UTF-8", "fr_CA.UTF-8");
        EXPECT_EQ(platform::SystemLanguageId(), 0x0415);
    }
    {
        LocaleEnvironment env("", "de_AT.UTF-8", "fr_CA.UTF-8");
        EXPECT_EQ(platform::SystemLanguageId(), 0x0C07);
    }
    {
        LocaleEnvironment env(nullptr, "", "fr_CA.UTF-8");
        EXPECT_EQ(platform::MessagesLocale(), "fr_CA.UTF-8");
        EXPECT_EQ(platform::SystemLanguageId(), 0x0C0C);
    }
    {
        LocaleEnvironment env(nullptr, nullptr, nullptr);
        EXPECT_EQ(platform::MessagesLocale(), "");
        EXPECT_EQ(platform::SystemLanguageId(), 0x0409);
    }
}
