#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "settings/IniFile.h"
#include "support/TempDir.h"

namespace {

CIniFile Parsed(const std::string& text) {
    CIniFile ini;
    ini.Parse(text);
    return ini;
}

TEST(IniFile, MatchesSectionsAndKeysWithoutRegardToCaseAndFirstMatchWins) {
    const CIniFile ini = Parsed(
        "[settings]\n"
        "CODERINDEX=3\n"
        "coderindex=4\n"
        "[Settings]\n"
        "Other=5\n");
    EXPECT_EQ(ini.GetString("Settings", "CoderIndex", "none"), "3");
    // Only the first section of a name is searched.
    EXPECT_EQ(ini.GetString("SETTINGS", "Other", "none"), "none");
    EXPECT_EQ(ini.GetString("Missing", "CoderIndex", "none"), "none");
}

TEST(IniFile, ReadsValuesWithoutSurroundingBlanksAndOnePairOfQuotes) {
    const CIniFile ini = Parsed(
        "  [ General ]  \r\n"
        "\tFolder =   /music/out/   \r\n"
        "Quoted=\"  spaced  \"\r\n"
        "Twice=\"\"inner\"\"\r\n"
        "Single='x'\r\n"
        "Unmatched=\"x'\r\n"
        "Empty=\r\n"
        "Equals=a=b\r\n"
        "; Hidden=1\r\n"
        "NoValue\r\n");
    EXPECT_EQ(ini.GetString("General", "Folder", ""), "/music/out/");
    EXPECT_EQ(ini.GetString("General", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(ini.GetString("General", "Twice", ""), "\"inner\"");
    EXPECT_EQ(ini.GetString("General", "Single", ""), "x");
    EXPECT_EQ(ini.GetString("General", "Unmatched", ""), "\"x'");
    EXPECT_EQ(ini.GetString("General", "Empty", "default"), "");
    EXPECT_EQ(ini.GetString("General", "Equals", ""), "a=b");
    EXPECT_EQ(ini.GetString("General", "Hidden", "none"), "none");
    EXPECT_EQ(ini.GetString("General", "NoValue", "none"), "none");
}

TEST(IniFile, WritingReplacesInPlaceAndAddsKeysAndSectionsKeepingOtherLines) {
    CIniFile ini = Parsed(
        "; kept comment\r\n"
        "[Core]\r\n"
        "  priority = 3 ; not a comment here\r\n"
        "\r\n"
        "# stray line\r\n"
        "[Other]\r\n"
        "X=1");
    ASSERT_TRUE(ini.WriteString("core", "Priority", "2"));
    ASSERT_TRUE(ini.WriteString("Core", "ThreadsCount", "4"));
    ASSERT_TRUE(ini.WriteString("Other", "Y", "2"));
    ASSERT_TRUE(ini.WriteString("New", "Z", "3"));
    EXPECT_EQ(ini.Text(),
              "; kept comment\r\n"
              "[Core]\r\n"
              "  priority=2\r\n"
              "ThreadsCount=4\r\n"
              "\r\n"
              "# stray line\r\n"
              "[Other]\r\n"
              "X=1\r\n"
              "Y=2\r\n"
              "\r\n"
              "[New]\r\n"
              "Z=3\r\n");
    EXPECT_TRUE(ini.IsModified());
}

TEST(IniFile, RewritingTheSameValueLeavesTheLineAlone) {
    CIniFile ini = Parsed("[A]\nKey =  \"7\"  \n");
    ASSERT_TRUE(ini.WriteString("a", "KEY", "7"));
    EXPECT_EQ(ini.Text(), "[A]\nKey =  \"7\"  \n");
    EXPECT_FALSE(ini.IsModified());
}

TEST(IniFile, ValuesThatTheReaderWouldChangeAreQuotedAndReadBackUnchanged) {
    CIniFile ini;
    for (const std::string value : {" lead", "trail\t", "\"quoted\"", "'q'", "\"", "plain"}) {
        ASSERT_TRUE(ini.WriteString("S", "K", value));
        EXPECT_EQ(Parsed(ini.Text()).GetString("S", "K", "missing"), value) << value;
    }
}

TEST(IniFile, RefusesWritesThatWouldSplitIntoOtherLines) {
    CIniFile ini;
    EXPECT_FALSE(ini.WriteString("S", "K", "a\n[Evil]\nK=1"));
    EXPECT_FALSE(ini.WriteString("S", "K", "a\rb"));
    EXPECT_FALSE(ini.WriteString("S]", "K", "v"));
    EXPECT_FALSE(ini.WriteString("S", "K=1", "v"));
    EXPECT_FALSE(ini.WriteString("S", "", "v"));
    EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, StructsAreHexWithAChecksumAndDamagedOnesFailToRead) {
    CIniFile ini;
    const unsigned char bytes[] = {0x01, 0xFF, 0x10};
    ASSERT_TRUE(ini.WriteStruct("S", "Block", bytes, sizeof(bytes)));
    EXPECT_EQ(ini.GetString("S", "Block", ""), "01FF1010");  // 0x01+0xFF+0x10 = 0x110

    unsigned char read[3] = {};
    ASSERT_TRUE(ini.GetStruct("s", "block", read, sizeof(read)));
    EXPECT_EQ(std::vector<unsigned char>(read, read + 3),
              std::vector<unsigned char>(bytes, bytes + 3));
    EXPECT_TRUE(Parsed("[S]\nB=01ff1010\n").GetStruct("S", "B", read, 3));

    for (const char* damaged : {"01FF1011", "01FF10", "01FF101010", "01FG1010", "", "0"}) {
        unsigned char untouched[3] = {9, 9, 9};
        CIniFile other = Parsed(std::string("[S]\nB=") + damaged + "\n");
        EXPECT_FALSE(other.GetStruct("S", "B", untouched, 3)) << damaged;
        EXPECT_EQ(untouched[0], 9);
    }
}

TEST(IniFile, SaveReplacesTheFileAtomicallyAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    WriteFileBytes(path, "[A]\r\nKey=1\r\n");
    std::filesystem::create_hard_link(path, dir / "old.ini");

    CIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ASSERT_TRUE(ini.WriteString("A", "Key", "2"));
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nKey=2\r\n");
    // A new file took the old one's name: the old contents were never overwritten in place.
    EXPECT_EQ(ReadFileBytes(dir / "old.ini"), "[A]\r\nKey=1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(IniFile, SaveThroughASymbolicLinkKeepsTheLink) {
    TempDir dir;
    WriteFileBytes(dir / "real.ini", "[A]\nKey=1\n");
    std::filesystem::create_symlink(dir / "real.ini", dir / "Settings.ini");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(dir / "Settings.ini"));
    ASSERT_TRUE(ini.WriteString("A", "Key", "2"));
    ASSERT_TRUE(ini.Save(dir / "Settings.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Settings.ini"));
    EXPECT_EQ(ReadFileBytes(dir / "real.ini"), "[A]\nKey=2\n");
}

TEST(IniFile, MissingFileLoadsEmptyAndAFileThatCannotBeReadIsNeverReplaced) {
    TempDir dir;
    CIniFile missing;
    EXPECT_TRUE(missing.Load(dir / "none.ini"));
    EXPECT_EQ(missing.Text(), "");

    std::filesystem::create_directory(dir / "folder.ini");
    CIniFile unreadable;
    EXPECT_FALSE(unreadable.Load(dir / "folder.ini"));
    ASSERT_TRUE(unreadable.WriteString("A", "K", "v"));
    EXPECT_FALSE(unreadable.Save(dir / "folder.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
}

TEST(IniFile, OnlyTextWithNulBytesOrWithoutAnyIniLineIsRefused) {
    const std::vector<std::pair<std::string, bool>> texts = {
        {"", true},
        {"\xEF\xBB\xBF", true},
        {"\n\n", true},
        {"; only a comment", true},
        {"# a comment of another habit\nrandom words", true},
        {"[Settings]", true},
        {"Unknown=1", true},
        {"odd line first\n[Settings]\nCoderIndex=x\n\x01\x7F\xFF", true},
        {"plain words", false},
        {"two lines\r\nof words\r\n", false},
        {std::string("[Settings]\nCoderIndex=1\n") + '\0', false},
        {std::string("\xFF\xFE[\0S\0]\0", 8), false},  // UTF-16, which the reader does not take
    };
    for (const auto& [text, taken] : texts) {
        const std::string problem = CIniFile::TextProblem(text);
        EXPECT_EQ(problem.empty(), taken) << text << ": " << problem;
    }
    EXPECT_EQ(CIniFile::TextProblem("a\nb"),
              "not INI text: none of its lines is a section, a key or a comment");
    EXPECT_EQ(CIniFile::TextProblem(std::string("[A]\0", 4)), "not INI text: it holds NUL bytes");
}

TEST(IniFile, FailedSaveKeepsTheOldFileAndReportsTheError) {
    TempDir dir;
    CIniFile ini;
    ASSERT_TRUE(ini.WriteString("A", "K", "v"));
    EXPECT_FALSE(ini.Save(dir / "no-such-folder/Settings.ini"));
    EXPECT_NE(ini.LastError().code, 0);
    EXPECT_TRUE(ini.IsModified());

    // A folder cannot be replaced by a file: the rename fails and the temporary file goes.
    std::filesystem::create_directory(dir / "taken");
    EXPECT_FALSE(ini.Save(dir / "taken"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFile, KeepsAByteOrderMarkAndALastLineWithoutTerminator) {
    CIniFile ini = Parsed("\xEF\xBB\xBF[A]\nK=1");
    EXPECT_EQ(ini.GetString("A", "K", ""), "1");
    ASSERT_TRUE(ini.WriteString("A", "L", "2"));
    EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[A]\nK=1\nL=2\n");
}

}  // namespace
