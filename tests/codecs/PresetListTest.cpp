#include <gtest/gtest.h>

#include <string>

#include "codecs/PresetList.h"
#include "support/TempDir.h"

namespace {

struct Expected {
    std::string Name;
    std::string Extension;
    std::string CommandLine;
};

void ExpectPresets(const CPresetList& list, const std::vector<Expected>& expected) {
    ASSERT_EQ(list.GetCount(), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const CPreset& preset = *list.GetAt(static_cast<int>(i));
        EXPECT_EQ(preset.Name, expected[i].Name);
        EXPECT_EQ(preset.Extension, expected[i].Extension);
        EXPECT_EQ(preset.CommandLine, expected[i].CommandLine);
    }
}

TEST(PresetList, BlankExtensionLinesTakeNoPresetLine) {
    TempDir dir;
    WriteFileBytes(dir / "Extensions.ini", "mp3\n\n  \nogg\n");
    WriteFileBytes(dir / "Presets.ini", "name 1\ncommand 1\n\nname 2\ncommand 2\n");
    CPresetList list;
    EXPECT_TRUE(list.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true));
    ExpectPresets(list, {{"name 1", ".mp3", "command 1"}, {"name 2", ".ogg", "command 2"}});
}

TEST(PresetList, ExtensionsAreTrimmedAndPresetLinesAreNot) {
    TempDir dir;
    WriteFileBytes(dir / "Extensions.ini", " \tflac  \r\nMP3\r\n");
    WriteFileBytes(dir / "Presets.ini", "  Best  \r\n -8 %in% \r\n   \r\nsecond command\r\n");
    CPresetList list;
    list.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true);
    // A line of blanks is a line like any other: here it is the second preset's name.
    ExpectPresets(list, {{"  Best  ", ".flac", " -8 %in% "}, {"   ", ".MP3", "second command"}});
}

TEST(PresetList, PresetsRunningOutOfLinesAreStillAdded) {
    TempDir dir;
    WriteFileBytes(dir / "Extensions.ini", "mp3\nmp3\nmp3\n");
    WriteFileBytes(dir / "Presets.ini", "V0\n-V 0 %in% %out%\nV2");
    CPresetList list;
    list.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true);
    ExpectPresets(list, {{"V0", ".mp3", "-V 0 %in% %out%"}, {"V2", ".mp3", ""}, {"", ".mp3", ""}});
}

TEST(PresetList, DecoderLinesHaveNoNames) {
    TempDir dir;
    WriteFileBytes(dir / "Extensions.ini", "m4a\naac");
    WriteFileBytes(dir / "Format.ini", "-i %in% %out%\n\n-y -i %in% %out%\n");
    CPresetList list;
    list.LoadFromFiles(dir / "Format.ini", dir / "Extensions.ini", false);
    ExpectPresets(list, {{"", ".m4a", "-i %in% %out%"}, {"", ".aac", "-y -i %in% %out%"}});
}

TEST(PresetList, MissingFilesReadAsEmpty) {
    TempDir dir;
    CPresetList none;
    EXPECT_TRUE(none.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true));
    EXPECT_EQ(none.GetCount(), 0);

    WriteFileBytes(dir / "Extensions.ini", "wv\n");
    CPresetList noLines;
    noLines.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true);
    ExpectPresets(noLines, {{"", ".wv", ""}});
}

TEST(PresetList, ReadsUtf16PackageFiles) {
    TempDir dir;
    WriteFileBytes(dir / "Extensions.ini", std::string("\xFF\xFE"
                                                       "o\0p\0u\0s\0\r\0\n\0",
                                                       14));
    WriteFileBytes(dir / "Presets.ini",
                   "\xEF\xBB\xBF"
                   "D\xC3\xA9"
                   "faut\n--bitrate 96 %in% %out%\n");
    CPresetList list;
    list.LoadFromFiles(dir / "Presets.ini", dir / "Extensions.ini", true);
    ExpectPresets(list, {{"D\xC3\xA9"
                          "faut",
                          ".opus", "--bitrate 96 %in% %out%"}});
    EXPECT_EQ(list.GetAt(1), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
}

}  // namespace
