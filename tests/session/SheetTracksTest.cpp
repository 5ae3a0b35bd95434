// The file list with cue sheets: a sheet's tracks are rows of their own, a folder that holds an
// image and its sheet lists the tracks alone, and a saved list keeps them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fileinfo/FileInfo.h"
#include "session/EngineFiles.h"
#include "session/FileList.h"
#include "session/FileListEditor.h"
#include "settings/SettingsGeneral.h"
#include "support/TempDir.h"

namespace {

// Each row as "path#track" (just the path for a whole file).
std::vector<std::string> Rows(const CFileList& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i) {
        const CFileInfo& file = *list.Get(i);
        rows.push_back(file.Path + (file.Track ? "#" + std::to_string(file.Track->Number) : ""));
    }
    return rows;
}

class SheetTracksTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestWav(m_dir / "image.wav", 44100, 2, 3.0, 5);
        WriteTestWav(m_dir / "other.wav", 44100, 2, 1.0, 6);
        WriteFileBytes(m_dir / "image.cue",
                       "FILE image.wav WAVE\nTRACK 01 AUDIO\nTITLE One\nINDEX 01 00:00:00\n"
                       "TRACK 02 AUDIO\nINDEX 01 00:01:00\nTRACK 03 AUDIO\nINDEX 01 00:02:00\n");
    }

    TempDir m_dir;
    CSettingsGeneral m_settings;
};

TEST_F(SheetTracksTest, FolderListsTheTracksInPlaceOfTheImageAndASavedListKeepsThem) {
    CFileList list;
    CFileListEditor editor(list, m_settings);
    ASSERT_TRUE(editor.AddFolder(m_dir.Path().string(), false));
    const std::string image = m_dir / "image.wav";
    std::vector<std::string> rows = Rows(list);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{image + "#1", image + "#2", image + "#3",
                                              m_dir / "other.wav"}));
    // The tracks hold the whole image between them.
    std::int64_t samples = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Get(i)->Track) samples += list.Get(i)->Samples;
    }
    EXPECT_EQ(samples, 3 * 44100);

    // Listed before or named together, the image is not listed beside its sheet's tracks; one
    // track removed stays removed through saving and loading the list.
    CFileList named;
    named.Add(image);
    named.AddAll({image, m_dir / "image.cue"});
    EXPECT_EQ(Rows(named), (std::vector<std::string>{image + "#1", image + "#2", image + "#3"}));
    named.Remove(1);
    named.Add(m_dir / "other.wav");
    ASSERT_TRUE(named.SavePlaylist(m_dir / "list.m3u"));
    CFileList loaded;
    ASSERT_TRUE(loaded.LoadPlaylist(m_dir / "list.m3u"));
    EXPECT_EQ(Rows(loaded),
              (std::vector<std::string>{image + "#1", image + "#3", m_dir / "other.wav"}));
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Get(0)->Track->Title, "One");
    EXPECT_EQ(loaded.Get(1)->Track->First, 2 * 44100);
    // A player that saved the list again with its own lines between keeps the track.
    WriteFileBytes(m_dir / "player.m3u", "#EXTM3U\n#KELTO-TRACK:2:image.cue\n#EXTINF:1,Two\n"
                                         "image.wav\n#EXTINF:1,Other\nother.wav\n");
    CFileList played;
    ASSERT_TRUE(played.LoadPlaylist(m_dir / "player.m3u"));
    EXPECT_EQ(Rows(played), (std::vector<std::string>{image + "#2", m_dir / "other.wav"}));
    // A sheet that names itself takes no sheet for its image: it is reported, not passed over.
    WriteFileBytes(m_dir / "loop.cue", "FILE loop.cue WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    CFileList looped;
    AddOutcome outcome;
    looped.AddAll({m_dir / "loop.cue", m_dir / "image.cue"}, &outcome);
    EXPECT_EQ(Rows(looped), (std::vector<std::string>{image + "#1", image + "#2", image + "#3"}));
    ASSERT_EQ(outcome.Unreadable.size(), 1u);
    EXPECT_EQ(outcome.Unreadable[0].Path, m_dir / "loop.cue");
    // An older kelto, which skips "#" lines, reads the image for each track.
    const std::string saved = ReadFileBytes(m_dir / "list.m3u");
    EXPECT_NE(saved.find("#KELTO-TRACK:3:" + (m_dir / "image.cue") + "\r\n" + image + "\r\n"),
              std::string::npos)
        << saved;
}

}  // namespace
