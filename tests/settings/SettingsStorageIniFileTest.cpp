#include <gtest/gtest.h>

#include "settings/SettingsExchanger.h"
#include "settings/SettingsStorageIniFile.h"
#include "support/TempDir.h"

namespace {

class SettingsStorageIniFileTest : public ::testing::Test {
protected:
    void WriteIni(const std::string& text) { WriteFileBytes(m_path, text); }
    std::string IniText() const { return ReadFileBytes(m_path); }
    CSettingsStorageIniFile Storage(const std::string& section = "S") {
        return CSettingsStorageIniFile(m_path, section);
    }

    TempDir m_dir;
    std::string m_path = m_dir / "Settings.ini";
};

TEST_F(SettingsStorageIniFileTest, WritesNumbersAndBoolsAsText) {
    {
        auto storage = Storage();
        int i = 42;
        int negative = -7;
        unsigned u = 4000000000u;
        bool yes = true;
        bool no = false;
        double d = 2.5;
        float f = 0.25f;
        ASSERT_TRUE(storage.Exchange("Int", i, true));
        ASSERT_TRUE(storage.Exchange("Negative", negative, true));
        ASSERT_TRUE(storage.Exchange("Unsigned", u, true));
        ASSERT_TRUE(storage.Exchange("Yes", yes, true));
        ASSERT_TRUE(storage.Exchange("No", no, true));
        ASSERT_TRUE(storage.Exchange("Double", d, true));
        ASSERT_TRUE(storage.Exchange("Float", f, true));
    }  // the storage writes the file when it goes
    EXPECT_EQ(IniText(),
              "[S]\nInt=42\nNegative=-7\nUnsigned=4000000000\nYes=TRUE\nNo=FALSE\n"
              "Double=2.500000\nFloat=0.250000\n");
}

TEST_F(SettingsStorageIniFileTest, NumbersReadAsTheCLibraryConvertsOneItem) {
    WriteIni(
        "[S]\nEmpty=\nBlank=   \nTrailing=12abc\nLetters=abc\nPlus=+5\nHuge=99999999999\n"
        "MinusUnsigned=-1\nQuoted=\" 8\"\nDouble=1.5e2xyz\nCaseTrue=true\nTrue=TRUE\n"
        "Long=TRUEEEEEEEEEEEEEEE\n");
    auto storage = Storage();
    int value = 99;
    EXPECT_FALSE(storage.Exchange("Empty", value, false));
    EXPECT_FALSE(storage.Exchange("Blank", value, false));
    EXPECT_FALSE(storage.Exchange("Letters", value, false));
    EXPECT_FALSE(storage.Exchange("Huge", value, false));
    EXPECT_FALSE(storage.Exchange("Missing", value, false));
    EXPECT_EQ(value, 99);
    EXPECT_TRUE(storage.Exchange("Trailing", value, false));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(storage.Exchange("Plus", value, false));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(storage.Exchange("Quoted", value, false));
    EXPECT_EQ(value, 8);

    unsigned u = 0;
    EXPECT_TRUE(storage.Exchange("MinusUnsigned", u, false));
    EXPECT_EQ(u, 4294967295u);
    double d = 0;
    EXPECT_TRUE(storage.Exchange("Double", d, false));
    EXPECT_EQ(d, 150.0);

    bool flag = true;
    EXPECT_TRUE(storage.Exchange("CaseTrue", flag, false));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(storage.Exchange("True", flag, false));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(storage.Exchange("Long", flag, false));  // 16 characters or more
    EXPECT_FALSE(storage.Exchange("Missing", flag, false));
    EXPECT_TRUE(flag);
}

TEST_F(SettingsStorageIniFileTest, TheThreeSentinelCharactersReadAsAMissingKey) {
    WriteIni("[S]\nText=\xC3\xBF\x7F\x08\nNearly=\xC3\xBF\x7F\n");
    auto storage = Storage();
    std::string text = "kept";
    EXPECT_FALSE(storage.Exchange("Text", text, false));
    EXPECT_EQ(text, "kept");
    EXPECT_TRUE(storage.Exchange("Nearly", text, false));
    EXPECT_EQ(text, "\xC3\xBF\x7F");
}

TEST_F(SettingsStorageIniFileTest, TextSlotReportsTheRoomItNeeds) {
    WriteIni("[S]\nShort=abc\nFull=" + std::string(1023, 'x') + "\n");
    auto storage = Storage();
    std::string text;
    std::size_t length = 0;
    EXPECT_TRUE(storage.ExchangeText("Short", nullptr, length, false));
    EXPECT_EQ(length, 4u);
    length = 3;
    EXPECT_FALSE(storage.ExchangeText("Short", &text, length, false));
    EXPECT_EQ(length, 4u);
    length = 1024;
    EXPECT_FALSE(storage.ExchangeText("Full", &text, length, false));
    EXPECT_EQ(length, 2048u);  // the buffer was full: the value may have been cut
    EXPECT_TRUE(storage.ExchangeText("Full", &text, length, false));
    EXPECT_EQ(text.size(), 1023u);
    length = 50;
    EXPECT_FALSE(storage.ExchangeText("Missing", &text, length, false));
    EXPECT_EQ(length, 0u);
}

TEST_F(SettingsStorageIniFileTest, LongValuesRoundTripThroughEveryStringSlot) {
    for (const std::size_t size : {1022u, 1023u, 1024u, 2046u, 2047u, 5000u}) {
        const std::string value(size, 'a');
        {
            auto storage = Storage();
            std::string text = value;
            std::wstring wide(value.begin(), value.end());
            std::u8string narrow(value.begin(), value.end());
            ASSERT_TRUE(storage.Exchange("Text", text, true));
            ASSERT_TRUE(storage.Exchange("Wide", wide, true));
            ASSERT_TRUE(storage.Exchange("Narrow", narrow, true));
        }
        auto storage = Storage();
        std::string text;
        std::wstring wide;
        std::u8string narrow;
        EXPECT_TRUE(storage.Exchange("Text", text, false)) << size;
        EXPECT_TRUE(storage.Exchange("Wide", wide, false)) << size;
        EXPECT_TRUE(storage.Exchange("Narrow", narrow, false)) << size;
        EXPECT_EQ(text, value);
        EXPECT_EQ(wide, std::wstring(value.begin(), value.end()));
        EXPECT_EQ(narrow.size(), size);
    }
}

TEST_F(SettingsStorageIniFileTest, WideTextIsStoredAsUtf8) {
    {
        auto storage = Storage();
        std::wstring wide = L"/m\u00fcsik/\U0001F3B5";
        ASSERT_TRUE(storage.Exchange("Wide", wide, true));
    }
    EXPECT_EQ(IniText(), "[S]\nWide=/m\xC3\xBCsik/\xF0\x9F\x8E\xB5\n");
    auto storage = Storage();
    std::wstring wide;
    ASSERT_TRUE(storage.Exchange("Wide", wide, false));
    EXPECT_EQ(wide, L"/m\u00fcsik/\U0001F3B5");
}

TEST_F(SettingsStorageIniFileTest, NarrowIntegersAndBlocksRoundTripAndKeepTheValueOnFailure) {
    {
        auto storage = Storage();
        std::uint8_t u8 = 200;
        std::int8_t i8 = -100;
        std::uint16_t u16 = 60000;
        std::int16_t i16 = -30000;
        std::int64_t i64 = -5000000000;
        std::uint64_t u64 = 0x0102030405060708u;
        ASSERT_TRUE(storage.Exchange("U8", u8, true));
        ASSERT_TRUE(storage.Exchange("I8", i8, true));
        ASSERT_TRUE(storage.Exchange("U16", u16, true));
        ASSERT_TRUE(storage.Exchange("I16", i16, true));
        ASSERT_TRUE(storage.Exchange("I64", i64, true));
        ASSERT_TRUE(storage.Exchange("U64", u64, true));
    }
    auto storage = Storage();
    std::uint8_t u8 = 0;
    std::int8_t i8 = 0;
    std::uint16_t u16 = 0;
    std::int16_t i16 = 0;
    std::int64_t i64 = 0;
    std::uint64_t u64 = 0;
    ASSERT_TRUE(storage.Exchange("U8", u8, false));
    ASSERT_TRUE(storage.Exchange("I8", i8, false));
    ASSERT_TRUE(storage.Exchange("U16", u16, false));
    ASSERT_TRUE(storage.Exchange("I16", i16, false));
    ASSERT_TRUE(storage.Exchange("I64", i64, false));
    ASSERT_TRUE(storage.Exchange("U64", u64, false));
    EXPECT_EQ(u8, 200);
    EXPECT_EQ(i8, -100);
    EXPECT_EQ(u16, 60000);
    EXPECT_EQ(i16, -30000);
    EXPECT_EQ(i64, -5000000000);
    EXPECT_EQ(u64, 0x0102030405060708u);
    EXPECT_EQ(storage.GetSection(), "S");
    std::int16_t kept = 11;
    EXPECT_FALSE(storage.Exchange("Missing", kept, false));
    EXPECT_EQ(kept, 11);
}

class Pair : public CSettings {
public:
    bool Exchange(bool continueOnError, CSettingsStorage* storage, bool save, bool reset) override {
        CSettingsExchanger x(continueOnError, storage, save, reset);
        x.Value("First", First, 1) && x.Value("Second", Second, 2);
        return x.Result();
    }
    int First = 0;
    int Second = 0;
};

TEST_F(SettingsStorageIniFileTest, NestedObjectsAndListsLiveInSectionsOfTheirOwn) {
    {
        auto storage = Storage("Settings");
        Pair window;
        window.First = 5;
        ASSERT_TRUE(storage.Exchange("Window", window, true));
        int count = 2;
        ASSERT_TRUE(storage.BeginList("Items", count, true));
        Pair item;
        item.Second = 9;
        ASSERT_TRUE(storage.ExchangeListItem(0, item, true));
        ASSERT_TRUE(storage.ExchangeListItem(1, item, true));
        ASSERT_TRUE(storage.EndList(true));
        int values = 1;
        ASSERT_TRUE(storage.BeginValueList("Values", values, true));
        std::string text = "one";
        ASSERT_TRUE(storage.GetOpenList()->Exchange(storage.GetValueListKey(0), text, true));
        ASSERT_TRUE(storage.EndValueList(true));
        ASSERT_TRUE(storage.Flush());
    }
    EXPECT_EQ(IniText(),
              "[Settings.Window]\nFirst=5\nSecond=0\n\n"
              "[Settings.Items]\nCount=2\n\n"
              "[Settings.Items.0]\nFirst=0\nSecond=9\n\n"
              "[Settings.Items.1]\nFirst=0\nSecond=9\n\n"
              "[Settings.Values]\nCount=1\nItem.0=one\n");

    auto storage = Storage("Settings");
    int count = 0;
    ASSERT_TRUE(storage.BeginList("Items", count, false));
    EXPECT_EQ(count, 2);
    Pair item;
    ASSERT_TRUE(storage.ExchangeListItem(1, item, false));
    EXPECT_EQ(item.Second, 9);
    ASSERT_TRUE(storage.EndList(false));
    EXPECT_FALSE(storage.EndList(false));
    EXPECT_FALSE(storage.ExchangeListItem(0, item, false));
    int missing = 0;
    EXPECT_FALSE(storage.BeginValueList("NoSuchList", missing, false));
    EXPECT_EQ(storage.GetOpenList(), nullptr);
    int minusOne = -1;
    EXPECT_FALSE(storage.BeginList("Items", minusOne, false));
}

TEST_F(SettingsStorageIniFileTest, ContinueOnErrorDecidesWhetherAFailureStopsTheExchange) {
    WriteIni("[S]\nFirst=x\nSecond=7\n");
    auto storage = Storage();
    Pair loaded;
    EXPECT_TRUE(loaded.Exchange(true, &storage, false, false));
    EXPECT_EQ(loaded.First, 1);  // default
    EXPECT_EQ(loaded.Second, 7);

    Pair stopped;
    EXPECT_FALSE(stopped.Exchange(false, &storage, false, false));
    EXPECT_EQ(stopped.First, 0);  // untouched: the exchange stopped at once
    EXPECT_EQ(stopped.Second, 0);

    CSettingsStorageIniFile badSection(m_path, "");  // a section that cannot be written
    Pair saved;
    EXPECT_FALSE(saved.Exchange(true, &badSection, true, false));
}

}  // namespace
