#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lang/LanguageManager.h"
#include "base/Log.h"
#include "platform/SystemLanguage.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShippedLanguages = fs::path(KELTO_WORK_DIR) / "Languages";
const fs::path kTestLanguages = KELTO_TEST_LANGUAGES_DIR;

struct RecordingSink : IMessageSink {
    struct Message {
        std::string text;
        std::string caption;
        Icon icon;
    };
    std::vector<Message> messages;
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
};

// A temporary folder with an empty "Languages" folder, made the current directory for the
// test's lifetime, as kelto runs from its working folder.
class LanguageManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldCwd = fs::current_path();
        fs::create_directory(m_dir.Path() / "Languages");
        fs::current_path(m_dir.Path());
        m_manager.SetMessageSink(&m_sink);
    }
    void TearDown() override { fs::current_path(m_oldCwd); }

    void Install(const fs::path& library, const std::string& asName) {
        fs::copy_file(library, m_dir.Path() / "Languages" / (asName + ".so"));
    }

    TempDir m_dir;
    fs::path m_oldCwd;
    RecordingSink m_sink;
    CLanguageManager m_manager;
};

void* FirstMember(const CLanguageManager& manager) {
    return *reinterpret_cast<void* const*>(&manager);
}

}  // namespace

TEST(LanguageManagerTable, ConstructionValuesAndTheEighteenLanguagesInOrder) {
    CLanguageManager manager;
    EXPECT_EQ(manager.GetModuleHandle(), nullptr);
    EXPECT_EQ(manager.GetDefaultLanguage(), "english");
    EXPECT_EQ(manager.GetLanguageFolder(), "lng");
    const std::vector<std::string> names = {
        "czech",        "danish",    "dutch",     "finnish", "french",    "german",
        "greek",        "hungarian", "icelandic", "italian", "norwegian", "polish",
        "portugues_br", "russian",   "slovak",    "spanish", "swedish",   "turkish"};
    ASSERT_EQ(manager.GetEntryCount(), 18);
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(manager.GetEntry(i).name, names[i]);
    const LanguageEntry& french = manager.GetEntry(4);
    ASSERT_EQ(french.idCount, 4u);
    EXPECT_EQ(french.ids[2], 0x0C0C);
    EXPECT_EQ(manager.GetEntry(15).ids[0], 0x040A);
}

TEST_F(LanguageManagerTest, CanadianFrenchLocaleLoadsFrenchFromTheCurrentDirectory) {
    Install(kTestLanguages / "testfrench.so", "french");
    m_manager.SetDefaults("Languages", "English");
    const std::uint16_t id = platform::LanguageIdFromLocale("fr_CA.UTF-8");
    ASSERT_TRUE(m_manager.SelectByLanguageId(id));
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "french");
    ASSERT_NE(m_manager.GetModuleHandle(), nullptr);
    // Plug-ins read the handle from the object's first member.
    EXPECT_EQ(FirstMember(m_manager), m_manager.GetModuleHandle());
    EXPECT_EQ(m_manager.GetString(101), "Démarrer");
    // Missing from the library: the program's own table, else nothing.
    EXPECT_EQ(m_manager.GetString(128), "kelto");
    EXPECT_EQ(m_manager.GetString(102), "");
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(LanguageManagerTest, GermanWithoutGermanLibraryFallsBackToEnglishSilently) {
    Install(kShippedLanguages / "English.so", "English");
    ASSERT_TRUE(SelectStartupLanguage(m_manager, 0x0407));
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "English");
    EXPECT_NE(m_manager.GetModuleHandle(), nullptr);
    EXPECT_EQ(m_manager.GetString(101), "&Start");
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(LanguageManagerTest, BritishEnglishHasNoEntryAndGetsTheEnglishFallback) {
    Install(kShippedLanguages / "English.so", "English");
    Install(kShippedLanguages / "german.so", "german");
    m_manager.SetDefaults("Languages", "English");
    EXPECT_FALSE(m_manager.SelectByLanguageId(platform::LanguageIdFromLocale("en_GB")));
    ASSERT_TRUE(SelectStartupLanguage(m_manager, 0x0809));
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "English");
}

TEST_F(LanguageManagerTest, GermanLibraryLoadsAndGivesGermanTextsAndMenus) {
    Install(kShippedLanguages / "English.so", "English");
    Install(kShippedLanguages / "german.so", "german");
    ASSERT_TRUE(SelectStartupLanguage(m_manager, platform::LanguageIdFromLocale("de_AT.UTF-8")));
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "german");
    EXPECT_EQ(m_manager.GetString(103), "Größe");
    EXPECT_EQ(m_manager.GetString(119), "Fehler");
    LanguageMenu menu;
    ASSERT_TRUE(m_manager.GetMenu(203, menu));
    EXPECT_EQ(menu.items.at(0).text, "&Programm");
}

TEST_F(LanguageManagerTest, UnloadableLibraryReportsTheLoaderTextAndGoesOnWithoutLibrary) {
    WriteFileBytes((m_dir.Path() / "Languages" / "russian.so").string(), "not a library\n");
    Install(kShippedLanguages / "English.so", "English");
    m_manager.SetDefaults("Languages", "English");

    // Found, though not loadable: the search ends and no English fallback follows.
    EXPECT_TRUE(SelectStartupLanguage(m_manager, 0x0419));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].caption, "Error");
    EXPECT_EQ(m_sink.messages[0].icon, IMessageSink::Icon::Error);
    EXPECT_NE(m_sink.messages[0].text.find("russian.so"), std::string::npos)
        << m_sink.messages[0].text;
    EXPECT_EQ(m_manager.GetModuleHandle(), nullptr);
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "russian");
    EXPECT_EQ(m_manager.GetString(128), "kelto");
    EXPECT_EQ(m_manager.GetString(101), "");
    LanguageMenu menu;
    EXPECT_TRUE(m_manager.GetMenu(203, menu));  // the program's own English menu
    EXPECT_EQ(menu.items.at(0).text, "&Program");
    EXPECT_FALSE(m_manager.GetMenu(215, menu));
}

TEST_F(LanguageManagerTest, UnloadableLibraryWithoutSinkGoesToTheProgramLog) {
    CLanguageManager manager;
    const std::string path = (m_dir.Path() / "Languages" / "broken.so").string();
    WriteFileBytes(path, "");
    const std::size_t before = GetLogLineCount();
    EXPECT_TRUE(manager.Load(path, "broken"));
    ASSERT_EQ(GetLogLineCount(), before + 1);
    EXPECT_EQ(GetLogLine(before).rfind("Error: ", 0), 0u);
    EXPECT_NE(GetLogLine(before).find("broken.so"), std::string::npos);
}

TEST_F(LanguageManagerTest, MissingLibraryIsNotFoundAndNamesTheDefault) {
    Install(kShippedLanguages / "german.so", "german");
    m_manager.SetDefaults("Languages", "English");
    ASSERT_TRUE(m_manager.SelectByLanguageId(0x0407));
    // A failed load also frees the library loaded before.
    EXPECT_FALSE(m_manager.Load((m_dir.Path() / "Languages" / "polish.so").string(), "polish"));
    EXPECT_EQ(m_manager.GetCurrentLanguage(), "English");
    EXPECT_EQ(m_manager.GetModuleHandle(), nullptr);
    EXPECT_EQ(m_manager.GetString(103), "");
    EXPECT_FALSE(m_manager.SelectByLanguageId(0x0415));
    // Nothing at all: start-up must give up.
    EXPECT_FALSE(SelectStartupLanguage(m_manager, 0x0415));
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(LanguageManagerTest, LongTextsAreCutToTheMaximumWithoutSplittingACharacter) {
    ASSERT_TRUE(m_manager.Load((kTestLanguages / "long.so").string(), "long"));
    const std::string ascii = m_manager.GetString(9001);
    EXPECT_EQ(ascii.size(), 1023u);
    EXPECT_EQ(ascii.substr(0, 12), "012345678901");
    const std::string umlauts = m_manager.GetString(9002);
    EXPECT_EQ(umlauts.size(), 2 * 1023u);
    EXPECT_EQ(umlauts.substr(umlauts.size() - 2), "ä");
}

TEST_F(LanguageManagerTest, ALibraryWithoutTextsKeepsItsHandleAndUsesTheOwnTable) {
    const std::string libm = "/lib/x86_64-linux-gnu/libm.so.6";
    if (!fs::exists(libm)) GTEST_SKIP() << libm << " is not installed";
    ASSERT_TRUE(m_manager.Load(libm, "m"));
    EXPECT_NE(m_manager.GetModuleHandle(), nullptr);
    EXPECT_EQ(m_manager.GetString(128), "kelto");
    EXPECT_EQ(m_manager.GetString(101), "");
    EXPECT_TRUE(m_sink.messages.empty());
}
