#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"
#include "settings/SettingsSet.h"
#include "support/TempDir.h"

namespace {

const std::string kZeroPlacement(90, '0');

std::string Home() {
    std::string home = platform::HomeFolder();
    return home.ends_with('/') ? home : home + "/";
}

TEST(SettingsSet, NewSetHoldsTheDefaults) {
    const CSettingsSet set;
    EXPECT_EQ(set.CoderIndex, 0);
    EXPECT_EQ(set.PresetIndex, 0);
    EXPECT_EQ(set.OptionsInitialPage, 0);
    EXPECT_EQ(set.FilterIndex, 0);
    EXPECT_EQ(set.ShowCoders, 1);
    EXPECT_EQ(set.ShowDecoders, 1);
    EXPECT_EQ(set.Window.Placement, WindowPlacement{});
    EXPECT_EQ(set.Core.Priority, 1);
    EXPECT_EQ(set.Core.ThreadsCount, 1);
    EXPECT_EQ(set.General.OutputFolder, Home());
    EXPECT_EQ(set.General.RememberFileList, 1);
    EXPECT_EQ(set.General.OutputFolderSameAsOriginal, 1);
    EXPECT_EQ(set.General.ShowWarnings, 1);
    EXPECT_EQ(set.General.AddOnlyExists, 1);
    EXPECT_EQ(set.General.CopyTags, 1);
    EXPECT_EQ(set.General.KeepFolderTree, 0);
    EXPECT_EQ(set.General.ExistingOutput, 0);
    EXPECT_EQ(set.Database.FindByFileName, 0);
}

TEST(SettingsSet, OlderFileWithoutTheConversionKeysLoadsWithTheirDefaults) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    WriteFileBytes(path,
                   "[Settings.General]\nOutputFolder=/music/out/\nRememberFileList=0\n"
                   "OutputFolderSameAsOriginal=0\nShowWarnings=0\nAddOnlyExists=0\n");
    CSettingsSet set;
    set.General.CopyTags = 0;
    set.General.KeepFolderTree = 1;
    set.General.ExistingOutput = 2;
    ASSERT_TRUE(set.LoadFile(path));
    EXPECT_EQ(set.General.OutputFolder, "/music/out/");
    EXPECT_EQ(set.General.AddOnlyExists, 0);
    EXPECT_EQ(set.General.CopyTags, 1);
    EXPECT_EQ(set.General.KeepFolderTree, 0);
    EXPECT_EQ(set.General.ExistingOutput, 0);
    // Saved again, the new keys come after the old ones, which stay where they were.
    ASSERT_TRUE(set.SaveFile(path));
    const std::string text = ReadFileBytes(path);
    EXPECT_NE(text.find("AddOnlyExists=0\nCopyTags=1\nKeepFolderTree=0\nExistingOutput=0\n"),
              std::string::npos)
        << text;
}

TEST(SettingsSet, FirstSaveWritesEveryKeyInExchangeOrder) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    CSettingsSet set;
    ASSERT_TRUE(set.SaveFile(path));
    EXPECT_EQ(ReadFileBytes(path),
              "[Settings]\nCoderIndex=0\nPresetIndex=0\nOptionsInitialPage=0\nFilterIndex=0\n"
              "ShowCoders=1\nShowDecoders=1\n\n"
              "[Settings.Window]\nPlacement=" +
                  kZeroPlacement +
                  "\n\n"
                  "[Settings.Core]\nPriority=1\nThreadsCount=1\n\n"
                  "[Settings.General]\nOutputFolder=" +
                  Home() +
                  "\nRememberFileList=1\n"
                  "OutputFolderSameAsOriginal=1\nShowWarnings=1\nAddOnlyExists=1\n"
                  "CopyTags=1\nKeepFolderTree=0\nExistingOutput=0\nFullCheck=1\nNamePattern=\n"
        "MaxSampleRate=0\nMaxBitDepth=0\nLoudnessTags=0\n\n"
                  "[Settings.Database]\nFindByFileName=0\n");
}

TEST(SettingsSet, EveryValueRoundTrips) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    CSettingsSet saved;
    saved.CoderIndex = 3;
    saved.PresetIndex = 7;
    saved.OptionsInitialPage = 2;
    saved.FilterIndex = 4;
    saved.ShowCoders = 0;
    saved.ShowDecoders = 0;
    saved.Window.Placement = {44,       0,        WindowPlacement::kShowMaximized,
                              {-1, -1}, {-8, -8}, {100, 50, 900, 650}};
    saved.Core.Priority = 0;
    saved.Core.ThreadsCount = 6;
    saved.General.OutputFolder = "/srv/m\xC3\xBCsic/ odd  name /";
    saved.General.RememberFileList = 0;
    saved.General.OutputFolderSameAsOriginal = 0;
    saved.General.ShowWarnings = 0;
    saved.General.AddOnlyExists = 0;
    saved.General.NamePattern = " %albumartist%/\"%album%\"/%track% - %title% ";
    saved.Database.FindByFileName = 1;
    ASSERT_TRUE(saved.SaveFile(path));

    CSettingsSet loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded.CoderIndex, 3);
    EXPECT_EQ(loaded.PresetIndex, 7);
    EXPECT_EQ(loaded.OptionsInitialPage, 2);
    EXPECT_EQ(loaded.FilterIndex, 4);
    EXPECT_EQ(loaded.ShowCoders, 0);
    EXPECT_EQ(loaded.ShowDecoders, 0);
    EXPECT_EQ(loaded.Window.Placement, saved.Window.Placement);
    EXPECT_EQ(loaded.Core.Priority, 0);
    EXPECT_EQ(loaded.Core.ThreadsCount, 6);
    EXPECT_EQ(loaded.General.OutputFolder, saved.General.OutputFolder);
    EXPECT_EQ(loaded.General.RememberFileList, 0);
    EXPECT_EQ(loaded.General.OutputFolderSameAsOriginal, 0);
    EXPECT_EQ(loaded.General.ShowWarnings, 0);
    EXPECT_EQ(loaded.General.AddOnlyExists, 0);
    EXPECT_EQ(loaded.General.NamePattern, saved.General.NamePattern);
    EXPECT_EQ(loaded.Database.FindByFileName, 1);
}

TEST(SettingsSet, PlacementIsTheLittleEndianWindowPlacementRecord) {
    const WindowPlacement placement{44,      2,      WindowPlacement::kShowNormal,
                                    {-1, 0}, {0, 0}, {0x0102, 10, 300, 200}};
    const auto bytes = placement.ToBytes();
    EXPECT_EQ(bytes[0], 44);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[12], 0xFF);  // -1
    EXPECT_EQ(bytes[15], 0xFF);
    EXPECT_EQ(bytes[28], 0x02);  // normal rectangle, left
    EXPECT_EQ(bytes[29], 0x01);
    EXPECT_EQ(WindowPlacement::FromBytes(bytes), placement);
}

TEST(SettingsSet, HandWrittenFileLoadsAndKeepsItsOtherLinesOnSave) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    const std::string handWritten =
        "; my settings\r\n"
        "[SETTINGS]\r\n"
        "   coderindex   =   2   \r\n"
        "PRESETINDEX=\"5\"\r\n"
        "showcoders=0 ; keep coders hidden\r\n"
        "\r\n"
        "[settings.general]\r\n"
        "outputfolder =  \"/data/out/\"\r\n"
        "AddOnlyExists=0\r\n"
        "Unknown=kept\r\n"
        "\r\n"
        "[Unrelated]\r\n"
        "Key=Value\r\n";
    WriteFileBytes(path, handWritten);

    CSettingsSet set;
    ASSERT_TRUE(set.LoadFile(path));
    EXPECT_EQ(set.CoderIndex, 2);
    EXPECT_EQ(set.PresetIndex, 5);
    EXPECT_EQ(set.ShowCoders, 0);  // "%d" stops at the blank
    EXPECT_EQ(set.General.OutputFolder, "/data/out/");
    EXPECT_EQ(set.General.AddOnlyExists, 0);
    EXPECT_EQ(set.Core.ThreadsCount, 1);  // missing: default

    set.CoderIndex = 4;
    ASSERT_TRUE(set.SaveFile(path));
    EXPECT_EQ(ReadFileBytes(path),
              "; my settings\r\n"
              "[SETTINGS]\r\n"
              "   coderindex=4\r\n"
              "PRESETINDEX=\"5\"\r\n"
              "showcoders=0\r\n"
              "OptionsInitialPage=0\r\nFilterIndex=0\r\nShowDecoders=1\r\n"
              "\r\n"
              "[settings.general]\r\n"
              "outputfolder =  \"/data/out/\"\r\n"
              "AddOnlyExists=0\r\n"
              "Unknown=kept\r\n"
              "RememberFileList=1\r\nOutputFolderSameAsOriginal=1\r\nShowWarnings=1\r\n"
              "CopyTags=1\r\nKeepFolderTree=0\r\nExistingOutput=0\r\nFullCheck=1\r\nNamePattern=\r\n"
        "MaxSampleRate=0\r\nMaxBitDepth=0\r\nLoudnessTags=0\r\n"
              "\r\n"
              "[Unrelated]\r\n"
              "Key=Value\r\n"
              "\r\n[Settings.Window]\r\nPlacement=" +
                  kZeroPlacement +
                  "\r\n"
                  "\r\n[Settings.Core]\r\nPriority=1\r\nThreadsCount=1\r\n"
                  "\r\n[Settings.Database]\r\nFindByFileName=0\r\n");
}

TEST(SettingsSet, DamagedPlacementKeepsTheWindowWhereItWasAndTheRestLoads) {
    TempDir dir;
    const std::string path = dir / "Settings.ini";
    CSettingsSet saved;
    saved.Window.Placement.Length = 44;
    saved.Window.Placement.NormalPosition = {1, 2, 3, 4};
    saved.Core.ThreadsCount = 3;
    ASSERT_TRUE(saved.SaveFile(path));
    std::string text = ReadFileBytes(path);
    const auto at = text.find("Placement=") + 10;
    text[at] = text[at] == '0' ? '1' : '0';  // first byte changed; checksum no longer matches
    WriteFileBytes(path, text);

    CSettingsSet loaded;
    loaded.Window.Placement.ShowCmd = WindowPlacement::kShowMinimized;
    const WindowPlacement before = loaded.Window.Placement;
    EXPECT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded.Window.Placement, before);
    EXPECT_EQ(loaded.Core.ThreadsCount, 3);
}

TEST(SettingsSet, MissingFileLoadsTheDefaultsAndUnreadableValuesFallBack) {
    TempDir dir;
    CSettingsSet set;
    set.Core.ThreadsCount = 8;
    EXPECT_TRUE(set.LoadFile(dir / "Settings.ini"));
    EXPECT_EQ(set.Core.ThreadsCount, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "Settings.ini"));  // loading writes nothing

    WriteFileBytes(dir / "Settings.ini",
                   "[Settings.Core]\nPriority=\nThreadsCount=high\n"
                   "[Settings.General]\nOutputFolder=\xC3\xBF\x7F\x08\n");
    set.Core.Priority = 3;
    set.General.OutputFolder = "/x/";
    EXPECT_TRUE(set.LoadFile(dir / "Settings.ini"));
    EXPECT_EQ(set.Core.Priority, 1);
    EXPECT_EQ(set.Core.ThreadsCount, 1);
    EXPECT_EQ(set.General.OutputFolder, Home());
}

TEST(SettingsSet, OutputFolderOfAnyLengthSurvives) {
    TempDir dir;
    CSettingsSet saved;
    saved.General.OutputFolder = "/" + std::string(3000, 'd') + "/";
    ASSERT_TRUE(saved.SaveFile(dir / "Settings.ini"));
    CSettingsSet loaded;
    ASSERT_TRUE(loaded.LoadFile(dir / "Settings.ini"));
    EXPECT_EQ(loaded.General.OutputFolder, saved.General.OutputFolder);
}

TEST(SettingsSet, FailedSaveIsReportedAndKeepsTheOldFile) {
    TempDir dir;
    EXPECT_FALSE(CSettingsSet().SaveFile(dir / "missing-folder/Settings.ini"));

    const std::string path = dir / "Settings.ini";
    CSettingsSet set;
    set.CoderIndex = 1;
    ASSERT_TRUE(set.SaveFile(path));
    const std::string before = ReadFileBytes(path);
    // A folder name with a line break cannot be stored as one line: the save fails, and the
    // values that could be written still reach the file.
    set.General.OutputFolder = "/a\n[Settings.Core]\nThreadsCount=64\n";
    set.CoderIndex = 2;
    EXPECT_FALSE(set.SaveFile(path));
    CSettingsSet loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded.CoderIndex, 2);
    EXPECT_EQ(loaded.Core.ThreadsCount, 1);
    EXPECT_EQ(loaded.General.OutputFolder, Home());
}

}  // namespace
