#include <gtest/gtest.h>

#include <filesystem>

#include "EngineFiles.h"
#include "codecs/DecoderList.h"
#include "fileinfo/FileInfo.h"
#include "session/AudioExtensions.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "settings/SettingsGeneral.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Refusals(const AddOutcome& outcome) {
    std::vector<std::string> texts;
    for (const AddOutcome::Refusal& refusal : outcome.Unreadable) {
        texts.push_back(refusal.Path + ": " + refusal.Reason);
    }
    return texts;
}

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
    AddOutcome outcome;

    EXPECT_TRUE(m_editor.AddFolder(root, true, &outcome));

    EXPECT_EQ(Paths(),
              (std::vector<std::string>{root + "/1.wav", root + "/3.xyz", root + "/sub/5.wav"}));
    EXPECT_EQ(Refusals(outcome),
              (std::vector<std::string>{root + "/2.wav: cannot be read as an audio file",
                                        root + "/sub/4.flac: cannot be read as an audio file"}));
    EXPECT_EQ(outcome.NotAudio, 0);  // only an editor of audio alone passes files over
    EXPECT_EQ(m_list.Get(2)->SampleRate, 8000);

    // Named paths: those AddOnlyExists keeps out are reported with the refused ones, in order.
    m_list.Clear();
    outcome = {};
    EXPECT_EQ(m_editor.AddPaths(
                  {root + "/missing.wav", root + "//2.wav", root + "/1.wav", root + "/sub/4.flac"},
                  &outcome),
              1);
    EXPECT_EQ(Refusals(outcome),
              (std::vector<std::string>{root + "/missing.wav: No such file or directory",
                                        root + "/2.wav: cannot be read as an audio file",
                                        root + "/sub/4.flac: cannot be read as an audio file"}));
}

TEST_F(FileListEditorTest, AudioAloneIsListedOtherFilesAreCountedAndSpecialOnesRefused) {
    // A decoder of MLP files, which no header reader knows.
    const std::string package = m_dir / "Decoders/MLP";
    MakeFile("Decoders/MLP/Extensions.ini");
    WriteFileBytes(package + "/Extensions.ini", "mlp\n");
    WriteFileBytes(package + "/Format.ini", "-d %in% -o %out%\n");
    WriteFileBytes(package + "/prog", "#!/bin/sh\n");
    std::filesystem::permissions(package + "/prog", std::filesystem::perms::owner_all);
    CDecoderList decoders;
    ASSERT_TRUE(decoders.LoadFromFolder(m_dir / "Decoders"));
    const CAudioExtensions audio(decoders);
    const std::string music = m_dir / "music";
    WriteTestWav(MakeFile("music/a.wav"), 44100, 2, 0.1, 1);
    MakeFile("music/cover.jpg");
    MakeFile("music/album.log");
    MakeFile("music/x.MLP");
    MakeFile("music/.hidden/b.wav");
    ASSERT_TRUE(RunShell("mkfifo " + ShellQuoted(music + "/pipe")));
    m_settings.AddOnlyExists = 0;
    const std::vector<std::string> paths = {
        music + "/pipe",    music + "/x.MLP", music + "/y.mlp",    music + "/cover.jpg",
        music + "/.hidden", music + "/a.wav", music + "/album.log"};

    AddOutcome outcome;
    CFileListEditor(m_list, m_settings, &audio).AddPaths(paths, &outcome);
    AddOutcome windowOutcome;
    CFileList windowList;
    CFileListEditor(windowList, m_settings).AddPaths(paths, &windowOutcome);

    EXPECT_EQ(Paths(), (std::vector<std::string>{music + "/x.MLP", music + "/a.wav"}));
    EXPECT_EQ(Refusals(outcome),
              (std::vector<std::string>{music + "/pipe: not a regular file (named pipe)",
                                        music + "/y.mlp: No such file or directory"}));
    EXPECT_EQ(outcome.NotAudio, 2);  // the folder is no file
    // The window lists whatever is not refused, as "Unknown" when no reader knows it.
    EXPECT_EQ(windowList.Count(), 6);
    EXPECT_EQ(Refusals(windowOutcome),
              (std::vector<std::string>{music + "/pipe: not a regular file (named pipe)"}));
    EXPECT_EQ(windowOutcome.NotAudio, 0);
}

TEST_F(FileListEditorTest, AFolderThatCannotBeListedIsNamedWithTheSystemsReason) {
    MakeFile("music/a.xyz");
    const std::string tooLong = m_dir / ("music/" + std::string(300, 'n'));
    AddOutcome outcome;
    EXPECT_TRUE(m_editor.AddFolder(tooLong, true, &outcome));
    EXPECT_TRUE(m_editor.AddFolder(m_dir / "music", true, &outcome));
    EXPECT_EQ(Refusals(outcome), (std::vector<std::string>{tooLong + ": File name too long"}));
    EXPECT_EQ(m_list.Count(), 1);
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

    // A playlist added to the list is not taken for an empty one when it cannot be read.
    ASSERT_TRUE(RunShell("mkfifo " + ShellQuoted(m_dir / "pipe.m3u")));
    EXPECT_FALSE(m_editor.AppendPlaylist(m_dir / "pipe.m3u"));
    EXPECT_EQ(m_editor.GetLastError(), m_dir / "pipe.m3u" + ": not a regular file (named pipe)");
    EXPECT_FALSE(m_editor.AppendPlaylist(m_dir / "missing.m3u"));
    EXPECT_EQ(m_editor.GetLastError(), m_dir / "missing.m3u" + ": No such file or directory");
    EXPECT_EQ(m_list.Count(), 1);
}

}  // namespace
