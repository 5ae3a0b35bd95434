#include <gtest/gtest.h>

#include <filesystem>

#include "EngineFiles.h"
#include "fileinfo/FileInfo.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "settings/SettingsGeneral.h"
#include "support/TempDir.h"

namespace {

class FileListEditorTest : public ::testing::Test {
protected:
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (int i = 0; i < m_list.Count(); ++i) paths.push_back(m_list.Get(i)->Path);
        return paths;
    }
    std::string MakeFile(const std::string& name) {
        const std::string path = m_dir / name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileBytes(path, "not audio");
        return path;
    }

    TempDir m_dir;
    CFileList m_list;
    CSettingsGeneral m_settings;
    CFileListEditor m_editor{m_list, m_settings};
};

TEST_F(FileListEditorTest, FoldsEachPairOfAdjacentSeparators) {
    EXPECT_EQ(CFileListEditor::FoldDoubledSeparators("/dir//x.wav"), "/dir/x.wav");
    EXPECT_EQ(CFileListEditor::FoldDoubledSeparators("//x"), "/x");
    EXPECT_EQ(CFileListEditor::FoldDoubledSeparators("/a///b////c"), "/a//b//c");
    EXPECT_EQ(CFileListEditor::FoldDoubledSeparators(""), "");
}

TEST_F(FileListEditorTest, AddOnlyExistsDecidesWhetherMissingFilesAreListed) {
    const std::string missing = m_dir / "missing.xyz";
    ASSERT_EQ(m_settings.AddOnlyExists, 1);
    EXPECT_FALSE(m_editor.AddPath(missing));
    EXPECT_FALSE(std::filesystem::exists(missing));  // nothing created on disk

    const std::string present = MakeFile("present.xyz");
    EXPECT_TRUE(m_editor.AddPath(m_dir.Path().string() + "//present.xyz"));
    EXPECT_TRUE(m_editor.AddPath(present));  // no duplicate check

    m_settings.AddOnlyExists = 0;
    EXPECT_TRUE(m_editor.AddPath(missing));
    EXPECT_EQ(Paths(), (std::vector<std::string>{present, present, missing}));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(FileListEditorTest, AddFolderIsBreadthFirstInEnumerationOrder) {
    MakeFile("b-root.xyz");
    MakeFile("A-root.xyz");
    MakeFile("B/b1.xyz");
    MakeFile("A/A1/deep.xyz");
    MakeFile("A/a2.xyz");
    MakeFile("A/a1.xyz");
    std::filesystem::create_directory(m_dir / "empty");
    const std::string root = m_dir.Path().string();
    EXPECT_TRUE(m_editor.AddFolder(root, true));
    EXPECT_EQ(Paths(), (std::vector<std::string>{root + "/A-root.xyz", root + "/b-root.xyz",
                                                 root + "/A/a1.xyz", root + "/A/a2.xyz",
                                                 root + "/B/b1.xyz", root + "/A/A1/deep.xyz"}));

    m_list.Clear();
    EXPECT_TRUE(m_editor.AddFolder(root + "/", false));
    EXPECT_EQ(Paths(), (std::vector<std::string>{root + "/A-root.xyz", root + "/b-root.xyz"}));
    EXPECT_TRUE(m_editor.AddFolder(root + "/no-such-folder", true));
    EXPECT_EQ(m_list.Count(), 2);
}

TEST_F(FileListEditorTest, FilesThatDoNotBecomeEntriesAreReportedInListOrder) {
    const std::string root = m_dir.Path().string();
    WriteTestWav(root + "/1.wav", 44100, 2, 0.1, 1);
    MakeFile("2.wav");  // not audio: the WAV reader refuses it
    MakeFile("3.xyz");  // a format without reader is listed as Unknown
    MakeFile("sub/4.flac");
    WriteTestWav(root + "/sub/5.wav", 8000, 1, 0.1, 2);
    std::vector<std::string> refused;

    EXPECT_TRUE(m_editor.AddFolder(root, true, &refused));

    EXPECT_EQ(Paths(),
              (std::vector<std::string>{root + "/1.wav", root + "/3.xyz", root + "/sub/5.wav"}));
    EXPECT_EQ(refused, (std::vector<std::string>{root + "/2.wav", root + "/sub/4.flac"}));
    EXPECT_EQ(m_list.Get(2)->SampleRate, 8000);

    // Named paths: those AddOnlyExists keeps out are reported with the refused ones, in order.
    m_list.Clear();
    refused.clear();
    EXPECT_EQ(m_editor.AddPaths(
                  {root + "/missing.wav", root + "//2.wav", root + "/1.wav", root + "/sub/4.flac"},
                  &refused),
              1);
    EXPECT_EQ(refused, (std::vector<std::string>{root + "/missing.wav", root + "/2.wav",
                                                 root + "/sub/4.flac"}));
}

TEST_F(FileListEditorTest, PlaylistErrorsAreReportedNotThrown) {
    std::filesystem::create_directory(m_dir / "folder.m3u");
    ASSERT_TRUE(m_editor.AddPath(MakeFile("a.xyz")));
    EXPECT_FALSE(m_editor.SavePlaylist(m_dir / "folder.m3u"));
    EXPECT_NE(m_editor.GetLastErrorCode(), 0);
    EXPECT_NE(m_editor.GetLastError().find("folder.m3u: "), std::string::npos);

    EXPECT_FALSE(m_editor.LoadPlaylist("/proc/self/mem"));  // reading address 0 fails
    EXPECT_NE(m_editor.GetLastErrorCode(), 0);
    EXPECT_EQ(m_editor.GetLastError().rfind("/proc/self/mem: ", 0), 0u);

    ASSERT_TRUE(m_editor.AddPath(m_dir / "a.xyz"));
    EXPECT_TRUE(m_editor.SavePlaylist(m_dir / "list.m3u"));
    EXPECT_EQ(m_editor.GetLastErrorCode(), 0);
    EXPECT_EQ(m_editor.GetLastError(), "");
    EXPECT_TRUE(m_editor.LoadPlaylist(m_dir / "list.m3u"));
    EXPECT_EQ(m_list.Count(), 1);
}

}  // namespace
