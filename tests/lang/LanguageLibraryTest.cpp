// The shipped language libraries, loaded as kelto loads them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lang/LanguageManager.h"
#include "LanguageTextChecks.h"

namespace {

const std::filesystem::path kLanguages = std::filesystem::path(KELTO_WORK_DIR) / "Languages";

class LanguageLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_english.Load((kLanguages / "English.so").string(), "English"));
        ASSERT_NE(m_english.GetModuleHandle(), nullptr);
        ASSERT_TRUE(m_german.Load((kLanguages / "german.so").string(), "german"));
        ASSERT_NE(m_german.GetModuleHandle(), nullptr);
    }
    CLanguageManager m_english;
    CLanguageManager m_german;
};

const std::string kMenu203Shape =
    "[ 32777 32778 32807 32808 - 32776 ] "
    "[ 32781 32782 - 32784 32785 - [ 32787 32788 32789 ] - 32791 32792 32793 ] "
    "[ 32809 32810 32796 ] ";
const std::string kMenu215Shape = "[ 32799 32800 32791 - 32801 32802 ] ";

}  // namespace

TEST_F(LanguageLibraryTest, EveryDialogTextIsTranslatedWithTheSamePlaceholders) {
    for (std::uint32_t id = 101; id <= 180; ++id) {
        const std::string english = m_english.GetString(id);
        const std::string german = m_german.GetString(id);
        EXPECT_FALSE(english.empty()) << "English lacks " << id;
        EXPECT_FALSE(german.empty()) << "German lacks " << id;
        EXPECT_EQ(Conversions(english), Conversions(german)) << "text " << id;
    }
    EXPECT_EQ(Conversions(m_english.GetString(113)), std::vector<std::string>{"%d"});
    EXPECT_EQ(Conversions(m_english.GetString(179)), std::vector<std::string>{"%d"});
    EXPECT_EQ(Conversions(m_english.GetString(180)), std::vector<std::string>{"%s"});
}

TEST_F(LanguageLibraryTest, EnglishTemplateTextsAreKept) {
    EXPECT_EQ(m_english.GetString(107), "&Reset settings");
    EXPECT_EQ(m_english.GetString(108), "&Apply settings");
    EXPECT_EQ(m_english.GetString(163), "Job Control");
    EXPECT_EQ(m_english.GetString(168), "Detailed progress information");
    EXPECT_EQ(m_english.GetString(159), "Add file to list only if it &exists");
    EXPECT_EQ(m_english.GetString(173), "&Load original");
}

TEST_F(LanguageLibraryTest, MenusHaveTheCommandsInOrderInEveryLanguage) {
    LanguageMenu menu;
    for (CLanguageManager* manager : {&m_english, &m_german}) {
        ASSERT_TRUE(manager->GetMenu(203, menu));
        EXPECT_EQ(Shape(menu.items), kMenu203Shape) << manager->GetCurrentLanguage();
        ASSERT_TRUE(manager->GetMenu(215, menu));
        EXPECT_EQ(Shape(menu.items), kMenu215Shape) << manager->GetCurrentLanguage();
    }
}

TEST_F(LanguageLibraryTest, EnglishMenuTextsAndTheBuiltInMenuAgree) {
    LanguageMenu english;
    ASSERT_TRUE(m_english.GetMenu(203, english));
    const auto& program = english.items.at(0);
    EXPECT_EQ(program.text, "&Program");
    EXPECT_EQ(program.children.at(0).text, "&Options");
    EXPECT_EQ(english.items.at(1).children.at(6).text, "S&election");
    EXPECT_EQ(english.items.at(1).children.at(6).children.at(1).text, "&Invert selection");
    EXPECT_EQ(english.items.at(2).children.at(2).text, "&About...");

    LanguageMenu builtin;
    ASSERT_TRUE(ReadLanguageMenu(BuiltinLanguageTable(), 203, builtin));
    EXPECT_EQ(Shape(builtin.items), kMenu203Shape);
    EXPECT_EQ(builtin.items.at(1).children.at(0).text, "Add &file...");
}
