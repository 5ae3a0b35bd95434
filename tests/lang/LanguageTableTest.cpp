#include <gtest/gtest.h>

#include "lang/LanguageTable.h"

namespace {

const KeltoLanguageString kStrings[] = {{5, "five"}, {7, "seven"}, {300, "three hundred"}};
// The second popup's child claims depth 3 though only depth 2 is open: it joins depth 2.
const KeltoMenuEntry kEntries[] = {
    {0, KELTO_MENU_POPUP, 0, "File"},   {1, KELTO_MENU_COMMAND, 10, "Open"},
    {1, KELTO_MENU_SEPARATOR, 0, ""},   {1, KELTO_MENU_POPUP, 0, "Recent"},
    {3, KELTO_MENU_COMMAND, 11, "One"}, {0, KELTO_MENU_COMMAND, 12, "Top"},
};
const KeltoLanguageMenu kMenus[] = {{1, 6, kEntries}};
const KeltoLanguageTable kTable = {KELTO_LANGUAGE_ABI_VERSION, 3, kStrings, 1, kMenus};

}  // namespace

TEST(LanguageTable, FindsStringsByIdAndNothingElse) {
    EXPECT_STREQ(FindLanguageString(&kTable, 5), "five");
    EXPECT_STREQ(FindLanguageString(&kTable, 300), "three hundred");
    EXPECT_EQ(FindLanguageString(&kTable, 6), nullptr);
    EXPECT_EQ(FindLanguageString(&kTable, 301), nullptr);
    EXPECT_EQ(FindLanguageString(nullptr, 5), nullptr);
    EXPECT_STREQ(FindLanguageString(BuiltinLanguageTable(), 128), "kelto");
}

TEST(LanguageTable, BuildsTheMenuTreeFromTheFlatList) {
    LanguageMenu menu;
    EXPECT_FALSE(ReadLanguageMenu(&kTable, 2, menu));
    EXPECT_FALSE(ReadLanguageMenu(nullptr, 1, menu));
    ASSERT_TRUE(ReadLanguageMenu(&kTable, 1, menu));
    ASSERT_EQ(menu.items.size(), 2u);
    const LanguageMenuItem& file = menu.items[0];
    EXPECT_EQ(file.kind, LanguageMenuItem::Kind::Popup);
    ASSERT_EQ(file.children.size(), 3u);
    EXPECT_EQ(file.children[0].id, 10u);
    EXPECT_EQ(file.children[1].kind, LanguageMenuItem::Kind::Separator);
    ASSERT_EQ(file.children[2].children.size(), 1u);
    EXPECT_EQ(file.children[2].children[0].text, "One");
    EXPECT_EQ(menu.items[1].id, 12u);
}
