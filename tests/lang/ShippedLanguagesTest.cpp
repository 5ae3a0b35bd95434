// Every shipped language library against English: no text or menu command missing, the same
// placeholders, and access keys (mnemonics) on the menus and control captions that a keyboard
// user can press without two of them clashing in one menu or window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "lang/LanguageManager.h"
#include "LanguageTextChecks.h"

namespace fs = std::filesystem;

namespace {

const fs::path kLanguages = fs::path(KELTO_WORK_DIR) / "Languages";

struct Library {
    std::string name;
    std::unique_ptr<CLanguageManager> manager;
    const KeltoLanguageTable* table = nullptr;
};

std::vector<Library> LoadShippedLibraries() {
    std::vector<Library> libraries;
    for (const fs::directory_entry& entry : fs::directory_iterator(kLanguages)) {
        if (entry.path().extension() != ".so") continue;
        Library library{entry.path().stem().string(), std::make_unique<CLanguageManager>()};
        if (library.manager->Load(entry.path().string(), library.name) &&
            library.manager->GetModuleHandle()) {
            library.table = LanguageTableOfLibrary(library.manager->GetModuleHandle());
        }
        libraries.push_back(std::move(library));
    }
    std::sort(libraries.begin(), libraries.end(),
              [](const Library& a, const Library& b) { return a.name < b.name; });
    return libraries;
}

// Case-folds the code point Qt would match an access key against: ASCII, Latin-1, Latin
// Extended-A (Polish, Czech, ...) and Cyrillic.
char32_t Fold(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        const bool upperIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if ((c % 2 == 1) == upperIsOdd) return c + 1;
        return c;
    }
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

char32_t DecodeAt(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
    };
    const unsigned lead = byte(i);
    if (lead < 0x80) return lead;
    if ((lead & 0xE0) == 0xC0) return ((lead & 0x1F) << 6) | (byte(i + 1) & 0x3F);
    if ((lead & 0xF0) == 0xE0)
        return ((lead & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
    return ((lead & 0x07) << 18) | ((byte(i + 1) & 0x3F) << 12) | ((byte(i + 2) & 0x3F) << 6) |
           (byte(i + 3) & 0x3F);
}

// The access keys of a text ("&&" is a plain ampersand), folded; a "&" at the end or before
// a blank counts as a key of 0, which no check accepts.
std::vector<char32_t> AccessKeys(const std::string& text) {
    std::vector<char32_t> keys;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
            continue;
        }
        const char32_t key = i + 1 < text.size() ? DecodeAt(text, i + 1) : 0;
        keys.push_back(key == U' ' ? 0 : Fold(key));
    }
    return keys;
}

std::string KeyText(char32_t key) {
    std::string text;
    if (key < 0x80) {
        text += static_cast<char>(key);
    } else if (key < 0x800) {
        text += static_cast<char>(0xC0 | (key >> 6));
        text += static_cast<char>(0x80 | (key & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (key >> 12));
        text += static_cast<char>(0x80 | ((key >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (key & 0x3F));
    }
    return text;
}

// Texts shown as captions of buttons, check boxes, radio buttons, labels of an input, and the
// plug-in menu's title. Each carries one access key.
const std::set<std::uint32_t> kCaptionTexts = {
    101, 105, 106, 107, 108, 109, 110, 116, 123, 124, 133, 134, 135, 138, 144, 150, 151,
    158, 159, 161, 173, 174, 175, 176, 178, 193, 194, 195, 196, 197, 198, 250, 251, 252, 253,
    264, 265, 280, 281, 306, 350};
// The texts of every other id up to here are shown as they are (headers, messages, window
// titles) and must not hold a single "&".
constexpr std::uint32_t kLastKnownText = 301;

// Captions that appear in one window together; the main window's menu bar joins them below.
const std::map<std::string, std::vector<std::uint32_t>> kWindows = {
    {"main window", {116, 101, 105, 106, 107, 108, 109, 110}},
    {"codecs dialog", {150, 151, 123}},
    {"SampleMatch", {173, 174, 175, 176, 123}},
    {"job window", {138, 161}},
    {"Start's question box", {264, 265, 124}},
    {"console", {280, 281, 123}},
    {"Options/General", {133, 134, 135, 158, 159, 124}},
    {"Options/Core", {138, 144, 124}},
    {"Options/Plugins", {116, 124}},
    {"Options/Database", {178, 124}},
    {"Options/Conversion", {193, 194, 195, 196, 197, 198, 250, 251, 252, 253, 306, 124, 350}},
};

// One key per entry, none twice on a level; then the same for every submenu.
void ExpectMenuKeys(const std::string& where, const std::vector<LanguageMenuItem>& items) {
    std::map<char32_t, std::string> taken;
    for (const LanguageMenuItem& item : items) {
        if (item.kind == LanguageMenuItem::Kind::Separator) continue;
        const std::vector<char32_t> keys = AccessKeys(item.text);
        if (keys.size() != 1 || keys[0] == 0) {
            ADD_FAILURE() << where << ": \"" << item.text << "\" needs exactly one access key";
            continue;
        }
        const auto [at, added] = taken.emplace(keys[0], item.text);
        EXPECT_TRUE(added) << where << ": \"" << item.text << "\" and \"" << at->second
                           << "\" share the key " << KeyText(keys[0]);
        if (item.kind == LanguageMenuItem::Kind::Popup)
            ExpectMenuKeys(where + " > " + item.text, item.children);
    }
}

class ShippedLanguagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_libraries = new std::vector<Library>(LoadShippedLibraries()); }
    static void TearDownTestSuite() {
        delete s_libraries;
        s_libraries = nullptr;
    }
    static const Library& English() {
        for (const Library& library : *s_libraries)
            if (library.name == "English") return library;
        throw std::runtime_error("no English library");
    }
    static std::vector<Library>* s_libraries;
};

std::vector<Library>* ShippedLanguagesTest::s_libraries = nullptr;

}  // namespace

TEST_F(ShippedLanguagesTest, TheTenLanguagesAreBuiltAndEachHoldsATable) {
    std::vector<std::string> names;
    for (const Library& library : *s_libraries) {
        names.push_back(library.name);
        EXPECT_NE(library.table, nullptr) << library.name << ".so holds no language table";
    }
    for (const char* expected : {"English", "dutch", "french", "german", "italian", "polish",
                                 "portugues_br", "russian", "spanish", "swedish"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end())
            << expected << ".so is not in " << kLanguages;
    }
}

TEST_F(ShippedLanguagesTest, EveryLibraryHasEveryEnglishTextWithItsPlaceholders) {
    const KeltoLanguageTable* english = English().table;
    ASSERT_NE(english, nullptr);
    ASSERT_GT(english->stringCount, 100u);
    for (const Library& library : *s_libraries) {
        if (!library.table || library.table == english) continue;
        for (std::uint32_t i = 0; i < english->stringCount; ++i) {
            const KeltoLanguageString& text = english->strings[i];
            const char* own = FindLanguageString(library.table, text.id);
            if (!own || !*own) {
                ADD_FAILURE() << library.name << " lacks text " << text.id << " (\"" << text.text
                              << "\")";
                continue;
            }
            EXPECT_EQ(Conversions(own), Conversions(text.text))
                << library.name << ", text " << text.id << ": \"" << own << "\"";
        }
        for (std::uint32_t i = 0; i < library.table->stringCount; ++i) {
            EXPECT_NE(FindLanguageString(english, library.table->strings[i].id), nullptr)
                << library.name << " has text " << library.table->strings[i].id
                << ", which English lacks";
        }
    }
}

TEST_F(ShippedLanguagesTest, EveryLibraryHasBothMenusWithEveryEnglishCommandInOrder) {
    for (std::uint32_t id : {203u, 215u}) {
        LanguageMenu english;
        ASSERT_TRUE(ReadLanguageMenu(English().table, id, english));
        for (const Library& library : *s_libraries) {
            LanguageMenu menu;
            if (!ReadLanguageMenu(library.table, id, menu)) {
                ADD_FAILURE() << library.name << " lacks menu " << id;
                continue;
            }
            EXPECT_EQ(Shape(menu.items), Shape(english.items)) << library.name << ", menu " << id;
        }
    }
}

TEST_F(ShippedLanguagesTest, MenuEntriesHaveOneAccessKeyEachUniqueInTheirMenu) {
    for (const Library& library : *s_libraries) {
        for (std::uint32_t id : {203u, 215u}) {
            LanguageMenu menu;
            if (!ReadLanguageMenu(library.table, id, menu)) continue;  // reported above
            ExpectMenuKeys(library.name + " menu " + std::to_string(id), menu.items);
        }
    }
    LanguageMenu builtin;
    ASSERT_TRUE(ReadLanguageMenu(BuiltinLanguageTable(), 203, builtin));
    ExpectMenuKeys("built-in menu 203", builtin.items);
}

TEST_F(ShippedLanguagesTest, CaptionsHaveOneAccessKeyUniqueInTheirWindowAndOtherTextsNone) {
    for (const Library& library : *s_libraries) {
        if (!library.table) continue;
        for (std::uint32_t i = 0; i < library.table->stringCount; ++i) {
            const KeltoLanguageString& text = library.table->strings[i];
            if (text.id > kLastKnownText) continue;
            const std::vector<char32_t> keys = AccessKeys(text.text);
            if (kCaptionTexts.count(text.id)) {
                EXPECT_TRUE(keys.size() == 1 && keys[0] != 0)
                    << library.name << ", text " << text.id << " \"" << text.text
                    << "\" needs exactly one access key";
            } else {
                EXPECT_TRUE(keys.empty()) << library.name << ", text " << text.id << " \""
                                          << text.text << "\" is shown as it is: write && for &";
            }
        }
        LanguageMenu menu;
        for (const auto& [window, ids] : kWindows) {
            std::vector<std::pair<char32_t, std::string>> captions;
            for (std::uint32_t id : ids) {
                const char* text = FindLanguageString(library.table, id);
                const std::vector<char32_t> keys = AccessKeys(text ? text : "");
                if (keys.size() == 1) captions.emplace_back(keys[0], text);
            }
            if (window == "main window" && ReadLanguageMenu(library.table, 203, menu)) {
                for (const LanguageMenuItem& title : menu.items) {
                    const std::vector<char32_t> keys = AccessKeys(title.text);
                    if (keys.size() == 1) captions.emplace_back(keys[0], title.text);
                }
            }
            std::map<char32_t, std::string> taken;
            for (const auto& [key, text] : captions) {
                const auto [at, added] = taken.emplace(key, text);
                EXPECT_TRUE(added) << library.name << ", " << window << ": \"" << text
                                   << "\" and \"" << at->second << "\" share the key "
                                   << KeyText(key);
            }
        }
    }
}

TEST(AccessKeys, EscapedAmpersandsAreNoKeysAndLettersFoldAcrossScripts) {
    EXPECT_TRUE(AccessKeys("Tom && Jerry").empty());
    EXPECT_EQ(AccessKeys("Save && &quit"), std::vector<char32_t>{U'q'});
    EXPECT_EQ(AccessKeys("A&Ä & &"), (std::vector<char32_t>{0xE4, 0, 0}));
    EXPECT_EQ(AccessKeys("&Запуск"), std::vector<char32_t>{U'з'});
    EXPECT_EQ(AccessKeys("&Ёлка"), AccessKeys("&ёлка"));
    EXPECT_EQ(AccessKeys("&Łódź"), AccessKeys("&łódź"));
    EXPECT_EQ(AccessKeys("&Ąb"), AccessKeys("&ąb"));
    EXPECT_NE(AccessKeys("&Ł"), AccessKeys("&ń"));
}
