#include <gtest/gtest.h>

#include <filesystem>

#include "base/WorkingFolder.h"
#include "support/TempDir.h"

TEST(WorkingFolder, DerivedPathsHangOffTheFolderWithOneSeparator) {
    const CWorkingFolder folder("/opt/kelto/");
    EXPECT_EQ(folder.GetFolder(), "/opt/kelto");
    EXPECT_EQ(folder.GetSettingsPath(), "/opt/kelto/Settings.ini");
    EXPECT_EQ(folder.GetFileListPath(), "/opt/kelto/FileList.m3u");
    EXPECT_EQ(folder.GetDatabasePath(), "/opt/kelto/Base.xml");
    EXPECT_EQ(folder.GetCodersFolder(), "/opt/kelto/Coders");
    EXPECT_EQ(folder.GetDecodersFolder(), "/opt/kelto/Decoders");
    EXPECT_EQ(folder.GetCodecsFolder(), "/opt/kelto/Codecs");
    EXPECT_EQ(folder.GetPluginsFolder(), "/opt/kelto/Plugins/");
    EXPECT_EQ(folder.GetLanguagesFolder(), "/opt/kelto/Languages/");
    EXPECT_EQ(folder.GetManualPath(), "/opt/kelto/Manual/Manual.pdf");
    EXPECT_EQ(CWorkingFolder("/").GetSettingsPath(), "/Settings.ini");
}

TEST(WorkingFolder, IsTheCurrentDirectoryNotTheProgramsFolder) {
    TempDir dir;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const CWorkingFolder folder = CWorkingFolder::FromCurrentDirectory();
    std::filesystem::current_path(old);
    EXPECT_EQ(folder.GetSettingsPath(),
              std::filesystem::canonical(dir.Path()).string() + "/Settings.ini");
}
